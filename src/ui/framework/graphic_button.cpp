#include "ui/framework/graphic_button.h"

#include "resources/pictures.h"
#include "ui/framework/focus_frame.h"

#include <QKeyEvent>
#include <QPainter>

namespace sorvo::ui {

namespace {
QPixmap greyedOut(const QPixmap& picture) {
    QImage image = picture.toImage().convertToFormat(QImage::Format_Grayscale8);
    return QPixmap::fromImage(image);
}
} // namespace

GraphicButton::GraphicButton(QWidget* parent, const QString& normalPicture,
                             const QString& highlightedPicture)
    : QAbstractButton(parent), normal_(pictures::path(normalPicture)),
      highlighted_(highlightedPicture.isEmpty() ? normal_
                                                : QPixmap(pictures::path(highlightedPicture))),
      disabled_(greyedOut(normal_)) {
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_Hover);
}

bool GraphicButton::showsHighlighted() const {
    return isEnabled() && (hovered_ || isDown());
}

void GraphicButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    // Drawn from the top left at their own size; a picture a row taller than the button loses
    // its bottom row.
    const QPixmap& picture = !isEnabled() ? disabled_ : showsHighlighted() ? highlighted_ : normal_;
    painter.drawPixmap(0, 0, picture);
    paintFocusFrame(*this, painter);
}

void GraphicButton::keyPressEvent(QKeyEvent* event) {
    // Space is the button's own (pressed while held, clicked on release); Enter clicks at once.
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (!enter) {
        QAbstractButton::keyPressEvent(event);
        return;
    }
    if (!event->isAutoRepeat()) click();
}

void GraphicButton::enterEvent(QEnterEvent* event) {
    hovered_ = true;
    update();
    QAbstractButton::enterEvent(event);
}

void GraphicButton::leaveEvent(QEvent* event) {
    hovered_ = false;
    update();
    QAbstractButton::leaveEvent(event);
}

} // namespace sorvo::ui

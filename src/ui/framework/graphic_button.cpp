#include "ui/framework/graphic_button.h"

#include "ui/framework/focus_frame.h"
#include "ui/framework/picture_loader.h"

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
    : QAbstractButton(parent), normal_(normalPicture), highlighted_(highlightedPicture) {
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_Hover);
    loadFaces(devicePixelRatioF());
}

void GraphicButton::loadFaces(qreal devicePixelRatio) {
    highlighted_.follow(devicePixelRatio);
    if (normal_.follow(devicePixelRatio)) disabled_ = greyedOut(normal_.pixmap());
}

bool GraphicButton::showsHighlighted() const {
    return isEnabled() && (hovered_ || isDown());
}

void GraphicButton::paintEvent(QPaintEvent*) {
    loadFaces(devicePixelRatioF());
    QPainter painter(this);
    // Between ratios 1 and 2 the @2x faces are scaled down, smoothly.
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    // Drawn from the top left at their own size; a picture a row taller than the button loses
    // its bottom row.
    const QPixmap& picture = !isEnabled()                                    ? disabled_
                             : showsHighlighted() && !highlighted_.isEmpty() ? highlighted_.pixmap()
                                                                             : normal_.pixmap();
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

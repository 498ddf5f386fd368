#include "ui/framework/skin_label.h"

#include "ui/framework/picture_loader.h"

#include <QPainter>

namespace sorvo::ui {

SkinLabel::SkinLabel(QWidget* parent, const QString& backgroundPicture)
    : QLabel(parent), background_(backgroundPicture) {
    setWordWrap(false);
}

void SkinLabel::paintEvent(QPaintEvent* event) {
    // The picture drawn for the screen the label is on now.
    background_.follow(devicePixelRatioF());
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawPixmap(0, 0, background_.pixmap());
    }
    QLabel::paintEvent(event);
}

} // namespace sorvo::ui

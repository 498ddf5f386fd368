#include "ui/framework/skin_label.h"

#include "ui/framework/picture_loader.h"

#include <QPainter>

namespace sorvo::ui {

SkinLabel::SkinLabel(QWidget* parent, const QString& backgroundPicture)
    : QLabel(parent), backgroundPicture_(backgroundPicture) {
    setWordWrap(false);
}

void SkinLabel::paintEvent(QPaintEvent* event) {
    // The picture drawn for the screen the label is on now.
    if (const int density = pictureDensity(devicePixelRatioF()); density != density_) {
        density_ = density;
        background_ = loadPixmap(backgroundPicture_, density);
    }
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawPixmap(0, 0, background_);
    }
    QLabel::paintEvent(event);
}

} // namespace sorvo::ui

#include "ui/framework/picture_box.h"

#include <QImageReader>
#include <QMovie>

namespace sorvo::ui {

PictureBox::PictureBox(QWidget* parent, const QString& pictureName)
    : QLabel(parent), picture_(pictureName) {
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    followDensity();
}

void PictureBox::followDensity() {
    if (!picture_.follow(devicePixelRatioF())) return;
    // The @2x file's name tells the reader its frames' device pixel ratio.
    const QString file = picture_.file();
    if (QImageReader(file).supportsAnimation()) {
        delete movie();
        auto* animation = new QMovie(file, {}, this);
        setMovie(animation);
        animation->start();
    } else {
        setPixmap(picture_.pixmap());
    }
}

void PictureBox::paintEvent(QPaintEvent* event) {
    followDensity();
    QLabel::paintEvent(event);
}

void PictureBox::resizeEvent(QResizeEvent* event) {
    QLabel::resizeEvent(event);
    // A still, opaque picture that fills the box hides what lies beneath it, so that nothing
    // below is painted there, and a page playing beneath the box does not repaint it with
    // every frame.
    const QPixmap picture = pixmap();
    const QSizeF size = picture.deviceIndependentSize();
    setAttribute(Qt::WA_OpaquePaintEvent, !isAnimated() && !picture.hasAlphaChannel() &&
                                              size.width() >= width() && size.height() >= height());
}

} // namespace sorvo::ui

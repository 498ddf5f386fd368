#include "ui/framework/picture_box.h"

#include "resources/pictures.h"
#include "ui/framework/picture_loader.h"

#include <QImageReader>
#include <QMovie>
#include <QPixmap>

namespace sorvo::ui {

PictureBox::PictureBox(QWidget* parent, const QString& pictureName)
    : QLabel(parent), pictureName_(pictureName) {
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    showPictureFor(devicePixelRatioF());
}

void PictureBox::showPictureFor(qreal devicePixelRatio) {
    const int density = pictureDensity(devicePixelRatio);
    if (density == density_) return;
    density_ = density;
    // The @2x file's name tells the reader its frames' device pixel ratio.
    const QString file = pictures::path(pictureForRatio(pictureName_, density));
    if (QImageReader(file).supportsAnimation()) {
        delete movie();
        auto* animation = new QMovie(file, {}, this);
        setMovie(animation);
        animation->start();
    } else {
        setPixmap(loadPixmap(pictureName_, density));
    }
}

void PictureBox::paintEvent(QPaintEvent* event) {
    showPictureFor(devicePixelRatioF());
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

#include "ui/framework/dense_picture.h"

#include "resources/pictures.h"
#include "ui/framework/picture_loader.h"

namespace sorvo::ui {

bool DensePicture::follow(qreal devicePixelRatio) {
    const int density = pictureDensity(devicePixelRatio);
    if (name_.isEmpty() || density == density_) return false;
    density_ = density;
    pixmap_ = QPixmap();
    return true;
}

const QPixmap& DensePicture::pixmap() const {
    if (pixmap_.isNull() && density_ != 0) pixmap_ = loadPixmap(name_, density_);
    return pixmap_;
}

QImage DensePicture::image() const {
    return density_ == 0 ? QImage() : loadImage(name_, density_);
}

QString DensePicture::file() const {
    return pictures::path(pictureForRatio(name_, density_));
}

} // namespace sorvo::ui

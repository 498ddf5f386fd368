#include "ui/framework/dense_picture.h"

#include "ui/framework/picture_loader.h"

namespace sorvo::ui {

bool DensePicture::follow(qreal devicePixelRatio) {
    const int density = pictureDensity(devicePixelRatio);
    if (name_.isEmpty() || density == density_) return false;
    density_ = density;
    pixmap_ = loadPixmap(name_, density);
    return true;
}

} // namespace sorvo::ui

#include "ui/rounded_region.h"

#include "platform/platform.h"
#include "ui/framework/skin_window.h"

namespace sorvo::ui {

namespace {
constexpr int cornerEllipse = 11;
}

void applyRoundedRegion(SkinWindow& window) {
    platform::setRoundRectRegion(window, window.width(), window.height(), cornerEllipse,
                                 cornerEllipse);
}

} // namespace sorvo::ui

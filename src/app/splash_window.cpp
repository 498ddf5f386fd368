#include "app/splash_window.h"

#include "resources/window_design.h"
#include "ui/framework/skin_window.h"

namespace sorvo::app {

ui::SkinWindow* newSplashWindow() {
    auto* splash = new ui::SkinWindow(design::splashWindow());
    // A picture, not a control: clicks and keys go nowhere.
    splash->setAttribute(Qt::WA_TransparentForMouseEvents);
    splash->setWindowFlag(Qt::WindowDoesNotAcceptFocus);
    splash->setWindowFlag(Qt::SplashScreen);
    return splash;
}

} // namespace sorvo::app

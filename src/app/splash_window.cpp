#include "app/splash_window.h"

#include "resources/window_design.h"
#include "ui/framework/after_first_paint.h"
#include "ui/framework/skin_window.h"
#include "ui/rounded_region.h"

namespace sorvo::app {

ui::SkinWindow* loadSplashWindow(QObject* context, std::function<void()> onceOnScreen) {
    auto* splash = new ui::SkinWindow(design::splashWindow());
    splash->handlers.created = [splash] { ui::applyRoundedRegion(*splash); };
    splash->handlers.sizeChanged = [splash] { ui::applyRoundedRegion(*splash); };
    // A picture, not a control: clicks and keys go nowhere.
    splash->setAttribute(Qt::WA_TransparentForMouseEvents);
    splash->setWindowFlag(Qt::WindowDoesNotAcceptFocus);
    splash->setWindowFlag(Qt::SplashScreen);
    // Showing a splash runs pending work before it reaches the screen; this waits until after.
    ui::afterFirstPaint(*splash, context, std::move(onceOnScreen));
    ui::SkinWindow::load(splash, false);
    return splash;
}

} // namespace sorvo::app

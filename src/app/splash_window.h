#pragma once

#include <functional>

class QObject;

namespace sorvo::ui {
class SkinWindow;
}

namespace sorvo::app {

// The animated picture shown while the program starts. Takes no input; the caller destroys it.
// `onceOnScreen` runs, on behalf of `context`, once the splash has painted.
ui::SkinWindow* loadSplashWindow(QObject* context, std::function<void()> onceOnScreen);

} // namespace sorvo::app

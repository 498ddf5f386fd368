#pragma once

namespace sorvo::ui {
class SkinWindow;
}

namespace sorvo::app {

// The animated picture shown while the program starts. Takes no input; the caller destroys it.
ui::SkinWindow* loadSplashWindow();

} // namespace sorvo::app

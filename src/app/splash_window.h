#pragma once

namespace sorvo::ui {
class SkinWindow;
}

namespace sorvo::app {

// The animated picture that stands while the program starts, built but not shown yet. It takes no
// input; the caller destroys it, and a close request from the system takes it away earlier.
ui::SkinWindow* newSplashWindow();

} // namespace sorvo::app

#pragma once

#include <functional>

namespace sorvo::ui {

class SkinWindow;

// The three dialogs, each opened modally over `owner` and built afresh from its design every
// time. Each call returns when the dialog has been destroyed; confirming the quit dialog ends
// the program inside the call.
void openQuitConfirmWindow(SkinWindow& owner);
void openAboutWindow(SkinWindow& owner);
void openVersionWindow(SkinWindow& owner, std::function<void()> openUpdateWindow);

} // namespace sorvo::ui

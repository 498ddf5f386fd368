#pragma once

#include <cstdint>
#include <string>
#include <windows.h>

// The Win32 calls behind the Windows platform layer, free of Qt so that they can be built and
// checked with a plain Windows tool chain.
namespace sorvo::platform::win32 {

// Clips `window` to CreateRoundRectRgn(0, 0, width, height, ellipseWidth, ellipseHeight) and
// redraws it. Returns whether the window accepted the region; the system owns it from then on,
// otherwise it is deleted here.
bool applyRoundRectRegion(HWND window, int width, int height, int ellipseWidth, int ellipseHeight);

// GetWindowLongA on GWL_STYLE.
long windowStyle(HWND window);
// Adds WS_SYSMENU to the window's style: the system's window menu.
void addSystemMenu(HWND window);

// Lets the system move `window` with the pointer, as if its caption had been grabbed.
void startCaptionDrag(HWND window);

// The shell's default action ("open") on a web address or a file.
void shellOpen(const wchar_t* target);

// The current user's documents folder without a trailing separator; empty if there is none.
std::wstring documentsFolder();

} // namespace sorvo::platform::win32

#include "platform/win32_calls.h"

#include <shellapi.h>
#include <shlobj.h>

namespace sorvo::platform::win32 {

bool applyRoundRectRegion(HWND window, int width, int height, int ellipseWidth, int ellipseHeight) {
    HRGN region = CreateRoundRectRgn(0, 0, width, height, ellipseWidth, ellipseHeight);
    if (SetWindowRgn(window, region, TRUE)) return true;
    if (region) DeleteObject(region);
    return false;
}

long windowStyle(HWND window) {
    return GetWindowLongA(window, GWL_STYLE);
}

void addSystemMenu(HWND window) {
    SetWindowLongA(window, GWL_STYLE, windowStyle(window) | WS_SYSMENU);
}

void startCaptionDrag(HWND window) {
    ReleaseCapture();
    SendMessageA(window, WM_NCLBUTTONDOWN, HTCAPTION, 0);
}

void shellOpen(const wchar_t* target) {
    ShellExecuteW(nullptr, L"open", target, nullptr, nullptr, SW_SHOWNORMAL);
}

std::wstring documentsFolder() {
    wchar_t buffer[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_PERSONAL, nullptr, SHGFP_TYPE_CURRENT, buffer)))
        return {};
    return buffer;
}

} // namespace sorvo::platform::win32

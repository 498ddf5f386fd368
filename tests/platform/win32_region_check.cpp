// Runs the Win32 side of the platform layer against a real window: a 960 × 440 popup like the
// main window, its rounded region, its style bits and the shell folder lookup. Prints one line
// per failed check and exits with the number of failures.
#include "platform/win32_calls.h"

#include <cstdio>
#include <initializer_list>
#include <string>

using namespace sorvo::platform;

namespace {

int failures = 0;

void check(bool passed, const char* what) {
    if (passed) return;
    std::printf("FAIL: %s\n", what);
    ++failures;
}

HWND createPopup(int width, int height) {
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"SorvoRegionCheck";
    RegisterClassW(&windowClass);
    return CreateWindowExW(0, windowClass.lpszClassName, L"region check", WS_POPUP, 50, 50, width,
                           height, nullptr, nullptr, windowClass.hInstance, nullptr);
}

// A copy of the region the window holds now; the caller deletes it.
HRGN currentRegion(HWND window) {
    HRGN copy = CreateRectRgn(0, 0, 0, 0);
    if (GetWindowRgn(window, copy) == ERROR) {
        DeleteObject(copy);
        return nullptr;
    }
    return copy;
}

// Whether `window` holds exactly the pixels of CreateRoundRectRgn(0, 0, width, height, 11, 11).
// The system may store the region with its rectangles merged, so the pixels are compared.
bool holdsRoundRect(HWND window, int width, int height) {
    HRGN held = currentRegion(window);
    HRGN expected = CreateRoundRectRgn(0, 0, width, height, 11, 11);
    HRGN difference = CreateRectRgn(0, 0, 0, 0);
    const bool same =
        held && expected && CombineRgn(difference, held, expected, RGN_XOR) == NULLREGION;
    for (HRGN region : {held, expected, difference})
        if (region) DeleteObject(region);
    return same;
}

void checkRoundedRegion(HWND window) {
    check(win32::applyRoundRectRegion(window, 960, 440, 11, 11), "the window refused the region");
    check(holdsRoundRect(window, 960, 440), "the window holds another region");
    HRGN region = currentRegion(window);
    check(region != nullptr, "the window holds no region");
    if (!region) return;

    RECT box = {};
    check(GetRgnBox(region, &box) == COMPLEXREGION, "the region is not a rounded shape");
    const DWORD bytes = GetRegionData(region, 0, nullptr);
    std::string data(bytes, '\0');
    auto* header = reinterpret_cast<RGNDATA*>(data.data());
    check(bytes > sizeof(RGNDATAHEADER) && GetRegionData(region, bytes, header) == bytes &&
              header->rdh.nCount > 2,
          "the region data has too few rectangles for rounded corners");
    check(!PtInRegion(region, 0, 0) && !PtInRegion(region, 2, 0) && !PtInRegion(region, 0, 2),
          "the top left corner is not cut");
    check(PtInRegion(region, 3, 0) && PtInRegion(region, 0, 3) && PtInRegion(region, 480, 0) &&
              PtInRegion(region, 0, 220),
          "the region is cut deeper than an 11 x 11 ellipse");
    DeleteObject(region);
}

void checkRegionIsReplaced(HWND window) {
    check(win32::applyRoundRectRegion(window, 400, 200, 11, 11), "a second region was refused");
    check(holdsRoundRect(window, 400, 200), "the second region did not replace the first");
}

void checkRefusedRegion() {
    check(!win32::applyRoundRectRegion(nullptr, 960, 440, 11, 11),
          "a region was reported as taken without a window");
}

void checkSystemMenuBit(HWND window) {
    const long before = win32::windowStyle(window);
    check((before & WS_SYSMENU) == 0, "the popup starts with a system menu");
    win32::addSystemMenu(window);
    const long after = win32::windowStyle(window);
    check((after & WS_SYSMENU) != 0, "WS_SYSMENU was not added");
    check((after & WS_POPUP) != 0, "adding WS_SYSMENU lost WS_POPUP");
}

void checkShellFolder() {
    const std::wstring folder = win32::documentsFolder();
    const DWORD attributes =
        folder.empty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesW(folder.c_str());
    check(attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY),
          "the documents folder is not an existing folder");
    check(folder.empty() || folder.back() != L'\\', "the documents folder ends with a separator");
}

} // namespace

int main() {
    HWND window = createPopup(960, 440);
    check(window != nullptr, "no popup window");
    if (window) {
        checkRoundedRegion(window);
        checkSystemMenuBit(window);
        checkRegionIsReplaced(window);
        DestroyWindow(window);
    }
    checkRefusedRegion();
    checkShellFolder();
    std::printf("%s: %d failed\n", failures ? "FAIL" : "ok", failures);
    return failures;
}

#include "platform/platform.h"

#include <QDir>
#include <QFileInfo>
#include <QWidget>
#include <shellapi.h>
#include <shlobj.h>
#include <windows.h>

namespace sorvo::platform {

namespace {
HWND handleOf(const QWidget& window) {
    return reinterpret_cast<HWND>(window.window()->winId());
}
} // namespace

void setRoundRectRegion(QWidget& window, int width, int height, int ellipseWidth,
                        int ellipseHeight) {
    HWND handle = handleOf(window);
    HRGN region = CreateRoundRectRgn(0, 0, width, height, ellipseWidth, ellipseHeight);
    // Once the window has accepted the region the system owns it.
    if (!SetWindowRgn(handle, region, TRUE) && region) DeleteObject(region);
}

long windowStyle(const QWidget& window) {
    return GetWindowLongA(handleOf(window), GWL_STYLE);
}

void setWindowStyle(QWidget& window, long style) {
    SetWindowLongA(handleOf(window), GWL_STYLE, style);
}

void startCaptionDrag(QWidget& window) {
    ReleaseCapture();
    SendMessageA(handleOf(window), WM_NCLBUTTONDOWN, HTCAPTION, 0);
}

void openWebAddress(const QString& address) {
    ShellExecuteW(nullptr, L"open", reinterpret_cast<LPCWSTR>(address.utf16()), nullptr, nullptr,
                  SW_SHOWNORMAL);
}

void openFile(const QString& path) {
    ShellExecuteW(nullptr, L"open", reinterpret_cast<LPCWSTR>(path.utf16()), nullptr, nullptr,
                  SW_SHOWNORMAL);
}

QString perUserDownloadFolder() {
    wchar_t buffer[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_PERSONAL, nullptr, SHGFP_TYPE_CURRENT, buffer)))
        return {};
    return QString::fromWCharArray(buffer) + pathSeparator();
}

QChar pathSeparator() {
    return QLatin1Char('\\');
}

std::int64_t fileSize(const QString& path) {
    const QFileInfo info(path);
    return info.isFile() ? info.size() : -1;
}

std::uint32_t tickCount() {
    return GetTickCount();
}

bool trayHostShowsMenus() {
    return false;
}

void prepareWebEngine() {}

} // namespace sorvo::platform

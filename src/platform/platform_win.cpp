#include "platform/desktop_notifications.h"
#include "platform/media_controls.h"
#include "platform/platform.h"
#include "platform/win32_calls.h"

#include <QDir>
#include <QWidget>

namespace sorvo::platform {

namespace {
HWND handleOf(const QWidget& window) {
    return reinterpret_cast<HWND>(window.window()->winId());
}

const wchar_t* wideText(const QString& text) {
    // QString holds UTF-16, which is what wchar_t holds on Windows; utf16() ends with a zero.
    return reinterpret_cast<const wchar_t*>(text.utf16());
}
} // namespace

void setRoundRectRegion(QWidget& window, int width, int height, int ellipseWidth,
                        int ellipseHeight) {
    win32::applyRoundRectRegion(handleOf(window), width, height, ellipseWidth, ellipseHeight);
}

void enableWindowMenu(QWidget& window) {
    win32::addSystemMenu(handleOf(window));
}

void startCaptionDrag(QWidget& window) {
    win32::startCaptionDrag(handleOf(window));
}

void openWebAddress(const QString& address) {
    win32::shellOpen(wideText(address));
}

void openFile(const QString& path) {
    win32::shellOpen(wideText(path));
}

QString perUserDownloadFolder() {
    const std::wstring folder = win32::documentsFolder();
    if (folder.empty()) return {};
    return QString::fromStdWString(folder) + pathSeparator();
}

QChar pathSeparator() {
    return QLatin1Char('\\');
}

QString privateFolder(const QString& path) {
    // Folders under the user's own profile are closed to other users by the profile's rights.
    return QDir().mkpath(path) ? path : QString();
}

bool trayHostShowsMenus() {
    return false;
}

void prepareWebEngine() {}

// Not built yet (media_controls.h says how it would be); meanwhile the engine's own transport
// controls stay on, so the media keys still reach the page.
MediaControls* createMediaControls(const MediaIdentity&, QObject*) {
    return nullptr;
}

// Not built yet either (desktop_notifications.h says how it would be).
DesktopNotifications* createDesktopNotifications(const QString&, const QString&, QObject*) {
    return nullptr;
}

} // namespace sorvo::platform

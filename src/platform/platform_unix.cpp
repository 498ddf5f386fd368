#include "platform/platform.h"

#include <QDBusConnection>
#include <QDBusInterface>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QUrl>
#include <QVariant>
#include <QWidget>
#include <QWindow>
#include <chrono>
#include <unistd.h>

namespace sorvo::platform {

namespace {
constexpr char styleProperty[] = "sorvo.windowStyle";
}

void setRoundRectRegion(QWidget& window, int width, int height, int ellipseWidth,
                        int ellipseHeight) {
    // A mask replaces the previous one, so repeated calls leave exactly one shape behind.
    window.setMask(roundRectRegion(width, height, ellipseWidth, ellipseHeight));
}

long windowStyle(const QWidget& window) {
    return window.property(styleProperty).toLongLong();
}

void setWindowStyle(QWidget& window, long style) {
    window.setProperty(styleProperty, QVariant::fromValue<qlonglong>(style));
    // A frameless window still gets the window manager's window menu (Alt+Space) with this hint.
    const bool visible = window.isVisible();
    window.setWindowFlag(Qt::WindowSystemMenuHint, (style & systemMenuStyle) != 0);
    if (visible) window.show();
}

void startCaptionDrag(QWidget& window) {
    if (QWindow* handle = window.window()->windowHandle()) handle->startSystemMove();
}

void openWebAddress(const QString& address) {
    QDesktopServices::openUrl(QUrl(address));
}

void openFile(const QString& path) {
    QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

QString perUserDownloadFolder() {
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DownloadLocation);
    if (folder.isEmpty()) return {};
    return QDir::toNativeSeparators(QDir::cleanPath(folder)) + pathSeparator();
}

QChar pathSeparator() {
    return QDir::separator();
}

std::int64_t fileSize(const QString& path) {
    const QFileInfo info(path);
    return info.isFile() ? info.size() : -1;
}

std::uint32_t tickCount() {
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<std::uint32_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}

bool trayHostShowsMenus() {
    QDBusInterface watcher(
        QStringLiteral("org.kde.StatusNotifierWatcher"), QStringLiteral("/StatusNotifierWatcher"),
        QStringLiteral("org.kde.StatusNotifierWatcher"), QDBusConnection::sessionBus());
    return watcher.isValid() && watcher.property("IsStatusNotifierHostRegistered").toBool();
}

void prepareWebEngine() {
    // The browser engine refuses to start as root with its sandbox on.
    if (geteuid() == 0 && qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
}

} // namespace sorvo::platform

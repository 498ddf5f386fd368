#include "platform/engine_flags.h"
#include "platform/platform.h"
#include "platform/tray_hosts.h"

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QUrl>
#include <QWidget>
#include <QWindow>
#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace sorvo::platform {

void setRoundRectRegion(QWidget& window, int width, int height, int ellipseWidth,
                        int ellipseHeight) {
    // A mask replaces the previous one, so repeated calls leave exactly one shape behind.
    window.setMask(roundRectRegion(width, height, ellipseWidth, ellipseHeight));
}

void enableWindowMenu(QWidget& window) {
    const bool visible = window.isVisible();
    window.setWindowFlag(Qt::WindowSystemMenuHint, true);
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

QString privateFolder(const QString& path) {
    const QByteArray native = QFile::encodeName(path);
    if (::mkdir(native.constData(), 0700) != 0 && errno != EEXIST) {
        if (!QDir().mkpath(path)) return {};
        ::chmod(native.constData(), 0700);
    }
    // Whoever made it, it must be our own folder, not a link another user may point elsewhere,
    // and closed to everybody else.
    struct stat status {};
    if (::lstat(native.constData(), &status) != 0 || !S_ISDIR(status.st_mode) ||
        status.st_uid != ::geteuid())
        return {};
    if ((status.st_mode & 0077) != 0 && ::chmod(native.constData(), 0700) != 0) return {};
    return path;
}

bool trayHostShowsMenus() {
    return TrayHosts::instance().statusNotifierHost();
}

void prepareWebEngine() {
    // The browser engine refuses to start as root with its sandbox on.
    if (geteuid() == 0 && qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    // The engine would put a media player of its own on the session bus beside the program's
    // (media_controls.h), under a name the desktop cannot tie to the program.
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS",
            withEngineFeatureDisabled(qgetenv("QTWEBENGINE_CHROMIUM_FLAGS"),
                                      QByteArrayLiteral("HardwareMediaKeyHandling")));
}

} // namespace sorvo::platform

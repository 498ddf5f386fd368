#include "ui/framework/program.h"

#include "browser/render_path.h"
#include "config/desktop_entry.h"
#include "platform/platform.h"
#include "ui/framework/accessible_widgets.h"
#include "ui/framework/tray_icon.h"

#include <QApplication>
#include <cstdio>
#include <unistd.h>

namespace sorvo::ui::program {

void prepareProcess() {
    platform::prepareWebEngine();
    browser::prepareRenderPath();
}

void configureApplication() {
    // The name the desktop shows for the program: a StatusNotifierItem panel titles the tray
    // item with it. Nothing the program keeps on disk is named after it.
    QApplication::setApplicationName(QStringLiteral("索沃电台"));
    // No display name: Qt would append it to every window's system title, and each window's
    // title is exactly its own. The desktop entry ties the windows to the program's name and icon.
    QGuiApplication::setDesktopFileName(desktopEntryId());
    // Hiding the main window through the tray must not end the program.
    QApplication::setQuitOnLastWindowClosed(false);
    // Before anything asks for a widget's accessible side, which Qt then keeps.
    installAccessibleWidgets();
}

void runUntilQuit(const std::function<void()>& release) {
    QApplication::exec();
    release();
    TrayIcon::removeAll();
    std::fflush(nullptr);
    // Leaving without destructors: taking the browser engine down window by window gains nothing
    // at exit and can stall it. A download that `release` stopped is not waited for: its worker
    // was detached and ends with the process, and the part file it may leave is continued or
    // removed by the next start of a download.
    _exit(0);
}

void quit() {
    QCoreApplication::exit(0);
}

} // namespace sorvo::ui::program

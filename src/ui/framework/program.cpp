#include "ui/framework/program.h"

#include "browser/render_path.h"
#include "config/desktop_entry.h"
#include "config/log_categories.h"
#include "platform/platform.h"
#include "ui/framework/accessible_widgets.h"

#include <QApplication>

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

int run() {
    const int code = QApplication::exec();
    qCDebug(uiLog, "The event loop has ended with exit code %d.", code);
    // Windows that went in the last handlers wait for the loop to delete them, which it no longer
    // does.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return code;
}

void quit() {
    QCoreApplication::exit(0);
}

} // namespace sorvo::ui::program

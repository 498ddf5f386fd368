#include "ui/framework/program.h"

#include "browser/render_path.h"
#include "config/desktop_entry.h"
#include "platform/platform.h"
#include "ui/framework/tray_icon.h"

#include <QApplication>
#include <QEventLoop>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <thread>
#include <unistd.h>

namespace sorvo::ui::program {

namespace {

std::function<void()>& endRoutine() {
    static std::function<void()> routine;
    return routine;
}

void runEndRoutineOnce() {
    // Taken out before it runs, so a second way out finds nothing left to run.
    auto routine = std::exchange(endRoutine(), nullptr);
    if (routine) routine();
}

} // namespace

void prepareProcess() {
    platform::prepareWebEngine();
    browser::prepareRenderPath();
}

void configureApplication() {
    QApplication::setApplicationName(QStringLiteral("sorvo-radio"));
    // No display name: Qt would append it to every window's system title, and each window's
    // title is exactly its own. The desktop entry ties the windows to the program's name and icon.
    QGuiApplication::setDesktopFileName(desktopEntryId());
    // Hiding the main window through the tray must not end the program.
    QApplication::setQuitOnLastWindowClosed(false);
}

void setEndRoutine(std::function<void()> routine) {
    endRoutine() = std::move(routine);
}

int runMessageLoop() {
    QApplication::exec();
    runEndRoutineOnce();
    return 0;
}

void end(int exitCode) {
    runEndRoutineOnce();
    TrayIcon::removeAll();
    std::fflush(nullptr);
    // Leaving directly, without unwinding: the handlers still on the stack (a modal dialog's,
    // a menu's) must not go on, and a download thread is not waited for.
    _exit(exitCode);
}

void waitProcessingMessages(int ms) {
    QEventLoop loop;
    // A precise timer: a coarse one may fire up to 5 % early, cutting the splash short.
    QTimer::singleShot(ms, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
}

void processPendingMessages() {
    QCoreApplication::processEvents();
}

void plainWait(int ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

} // namespace sorvo::ui::program

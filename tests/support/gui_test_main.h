#pragma once

#include "platform/tray_hosts.h"
#include "ui/framework/program.h"

#include <QApplication>
#include <QTest>

// Waits until `window` is shown and exposed on the screen; the main window shows itself only once
// the splash has had its time.
inline bool waitUntilShown(QWidget* window, int timeoutMs = 30000) {
    return QTest::qWaitFor([window] { return window->isVisible(); }, timeoutMs) &&
           QTest::qWaitForWindowExposed(window, timeoutMs);
}

// The tray hosts of a test program, as the client owns them, once the session bus has answered:
// a tray icon then goes up as soon as its window asks for it.
struct KnownTrayHosts {
    sorvo::platform::TrayHosts hosts;
    KnownTrayHosts() {
        (void)QTest::qWaitFor([this] { return hosts.known(); }, 10000);
    }
};

// main() for GUI tests: sets the process and the application up the way the client does, then
// runs the test object's slots.
#define SORVO_GUI_TEST_MAIN(TestObject)                                                            \
    int main(int argc, char* argv[]) {                                                             \
        sorvo::ui::program::prepareProcess();                                                      \
        QApplication application(argc, argv);                                                      \
        sorvo::ui::program::configureApplication();                                                \
        const KnownTrayHosts trayHosts;                                                            \
        TestObject test;                                                                           \
        return QTest::qExec(&test, argc, argv);                                                    \
    }

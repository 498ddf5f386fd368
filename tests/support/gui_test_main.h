#pragma once

#include "ui/framework/program.h"

#include <QApplication>
#include <QTest>

// Waits until `window` is shown and exposed on the screen; the main window shows itself only once
// the splash has had its time.
inline bool waitUntilShown(QWidget* window, int timeoutMs = 30000) {
    return QTest::qWaitFor([window] { return window->isVisible(); }, timeoutMs) &&
           QTest::qWaitForWindowExposed(window, timeoutMs);
}

// main() for GUI tests: sets the process and the application up the way the client does, then
// runs the test object's slots.
#define SORVO_GUI_TEST_MAIN(TestObject)                                                            \
    int main(int argc, char* argv[]) {                                                             \
        sorvo::ui::program::prepareProcess();                                                      \
        QApplication application(argc, argv);                                                      \
        sorvo::ui::program::configureApplication();                                                \
        TestObject test;                                                                           \
        return QTest::qExec(&test, argc, argv);                                                    \
    }

#pragma once

#include "ui/framework/program.h"

#include <QApplication>
#include <QTest>

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

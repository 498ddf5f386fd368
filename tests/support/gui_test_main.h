#pragma once

#include "platform/platform.h"

#include <QApplication>
#include <QTest>

// main() for GUI tests: prepares the browser engine the way the client does, then runs the
// test object's slots.
#define SORVO_GUI_TEST_MAIN(TestObject)                                                            \
    int main(int argc, char* argv[]) {                                                             \
        sorvo::platform::prepareWebEngine();                                                       \
        QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);                                \
        QApplication application(argc, argv);                                                      \
        QApplication::setQuitOnLastWindowClosed(false);                                            \
        TestObject test;                                                                           \
        return QTest::qExec(&test, argc, argv);                                                    \
    }

#pragma once

#include "app/client.h"
#include "config/hosts.h"
#include "support/gui_test_main.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTest>
#include <optional>

// Lets a test program run the whole client as a child of itself: started with
// `--client HOST`, it runs the client against that site host instead of the tests.
inline std::optional<int> runAsClientChild(int argc, char* argv[]) {
    if (argc != 3 || QByteArray(argv[1]) != "--client") return std::nullopt;
    sorvo::hosts().site = QString::fromUtf8(argv[2]);
    char* clientArgv[] = {argv[0], nullptr};
    return sorvo::app::runClient(1, clientArgv);
}

// The client child's visible windows named "索沃电台", as X window ids, once there is one; none
// when nothing shows within `timeoutMs`. Without --all, xdotool lists the windows that meet any
// one of the conditions: the test program's own windows of that name as well. A search gives up
// when a window goes while it runs (the splash does), so it is asked again until the deadline.
inline QStringList clientWindows(qint64 pid, int timeoutMs) {
    QElapsedTimer waited;
    waited.start();
    while (!waited.hasExpired(timeoutMs)) {
        QProcess search;
        search.start(QStringLiteral("xdotool"),
                     {QStringLiteral("search"), QStringLiteral("--all"),
                      QStringLiteral("--onlyvisible"), QStringLiteral("--pid"),
                      QString::number(pid), QStringLiteral("--name"),
                      QStringLiteral("^索沃电台$")});
        if (!search.waitForFinished(5000)) {
            search.kill();
            search.waitForFinished();
        }
        const QStringList windows =
            QString::fromUtf8(search.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
        if (!windows.isEmpty()) return windows;
        QTest::qWait(100);
    }
    return {};
}

// main() for GUI tests that run the whole client as a child of themselves as well, and build the
// client's windows in-process with the program state they need.
#define SORVO_CLIENT_TEST_MAIN(TestObject)                                                         \
    int main(int argc, char* argv[]) {                                                             \
        if (const auto clientExit = runAsClientChild(argc, argv)) return *clientExit;              \
        sorvo::ui::program::prepareProcess();                                                      \
        QApplication application(argc, argv);                                                      \
        sorvo::ui::program::configureApplication();                                                \
        const KnownTrayHosts trayHosts;                                                            \
        TestObject test;                                                                           \
        return QTest::qExec(&test, argc, argv);                                                    \
    }

#include "app/client.h"
#include "app/single_instance.h"
#include "config/hosts.h"
#include "support/client_child.h"
#include "support/loopback_server.h"
#include "ui/framework/program.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLocalSocket>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QWidget>
#include <cstdio>
#include <optional>
#include <thread>

using namespace sorvo;
using app::SingleInstance;

namespace {

// Runs a command to its end; its standard output, or nothing when it failed.
std::optional<QString> commandOutput(const QString& program, const QStringList& arguments,
                                     int timeoutMs = 20000) {
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(timeoutMs) || process.exitCode() != 0) {
        process.kill();
        process.waitForFinished();
        return std::nullopt;
    }
    return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
}

QString visibleClientWindow() {
    return commandOutput(QStringLiteral("xdotool"),
                         {QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                          QStringLiteral("--name"), QStringLiteral("^索沃电台$")},
                         5000)
        .value_or(QString());
}

QString activeWindow() {
    return commandOutput(QStringLiteral("xdotool"), {QStringLiteral("getactivewindow")}, 5000)
        .value_or(QString());
}

} // namespace

class SingleInstanceTest : public QObject {
    Q_OBJECT
  private slots:
    void laterLaunchIsTurnedAwayAndRaisesTheRunningOne() {
        QTemporaryDir folder;
        SingleInstance running(folder.path());
        QVERIFY(running.claim());
        QSignalSpy raises(&running, &SingleInstance::raiseRequested);

        SingleInstance later(folder.path());
        QVERIFY(!later.claim());
        QVERIFY(later.askRunningToRaise());
        QVERIFY(raises.wait(5000));

        // Only the raise request counts; anything else on the socket is dropped.
        QLocalSocket stranger;
        stranger.connectToServer(running.socketPath());
        QVERIFY(stranger.waitForConnected(2000));
        stranger.write("hello!\n");
        QVERIFY(stranger.waitForBytesWritten(2000));
        // The running one has read it and hung up.
        QTRY_COMPARE_WITH_TIMEOUT(stranger.state(), QLocalSocket::UnconnectedState, 5000);
        QCOMPARE(raises.count(), 1);

        // A lock in another user's folder is another user's business.
        QTemporaryDir otherFolder;
        SingleInstance otherUser(otherFolder.path());
        QVERIFY(otherUser.claim());
    }

    void nextLaunchRunsOnceTheRunningOneHasLetGo() {
        QTemporaryDir folder;
        SingleInstance running(folder.path());
        QVERIFY(running.claim());
        QVERIFY(QFile::exists(running.lockPath()));
        QVERIFY(QFile::exists(running.socketPath()));
        running.release();
        QVERIFY(!QFile::exists(running.lockPath()));
        QVERIFY(!QFile::exists(running.socketPath()));

        SingleInstance next(folder.path());
        QVERIFY(next.claim());
    }

    void lockAndSocketLeftByAClientThatDiedAreTakenOver() {
        QTemporaryDir folder;
        QProcess holder;
        holder.start(QCoreApplication::applicationFilePath(),
                     {QStringLiteral("--hold"), folder.path()});
        QVERIFY(holder.waitForReadyRead(10000));
        QCOMPARE(holder.readLine().trimmed(), QByteArray("held"));
        holder.kill();
        QVERIFY(holder.waitForFinished(5000));

        SingleInstance next(folder.path());
        QVERIFY(QFile::exists(next.lockPath()));
        QVERIFY(QFile::exists(next.socketPath()));
        QVERIFY(next.claim());

        // The new client listens on the socket the dead one left behind.
        QSignalSpy raises(&next, &SingleInstance::raiseRequested);
        SingleInstance later(folder.path());
        QVERIFY(!later.claim());
        QVERIFY(later.askRunningToRaise());
        QVERIFY(raises.wait(5000));
    }

    void unreachableRunningClientIsReported() {
        QTemporaryDir folder;
        SingleInstance running(folder.path());
        QVERIFY(running.claim());
        QVERIFY(QFile::remove(running.socketPath()));

        SingleInstance later(folder.path());
        QVERIFY(!later.claim());
        QVERIFY(!later.askRunningToRaise());
    }

    void clientRunsWhereNoLockCanBeMade() {
        QTemporaryDir folder;
        QFile plainFile(folder.filePath(QStringLiteral("not-a-folder")));
        QVERIFY(plainFile.open(QIODevice::WriteOnly));
        plainFile.close();
        SingleInstance nowhere(plainFile.fileName());
        QVERIFY(nowhere.claim());
        SingleInstance noFolder{QString()};
        QVERIFY(noFolder.claim());
    }

    void secondClientRaisesTheFirstAndEndsWithZero() {
        QTemporaryDir runtime;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
        // The radio page does not matter here; a closed loopback port keeps the page off the
        // network.
        const QStringList arguments{QStringLiteral("--client"), QStringLiteral("127.0.0.1:1")};

        QProcess first;
        first.setProcessEnvironment(environment);
        first.setProcessChannelMode(QProcess::ForwardedChannels);
        first.start(QCoreApplication::applicationFilePath(), arguments);
        QVERIFY(first.waitForStarted());
        QString window;
        QTRY_VERIFY_WITH_TIMEOUT(!(window = visibleClientWindow()).isEmpty(), 30000);
        QVERIFY(commandOutput(QStringLiteral("xdotool"), {QStringLiteral("windowminimize"),
                                                          QStringLiteral("--sync"), window}));
        QTRY_VERIFY_WITH_TIMEOUT(visibleClientWindow().isEmpty(), 5000);

        QProcess second;
        second.setProcessEnvironment(environment);
        second.setProcessChannelMode(QProcess::ForwardedChannels);
        QElapsedTimer clock;
        clock.start();
        second.start(QCoreApplication::applicationFilePath(), arguments);
        // A second client would sit through its splash and then run on.
        QVERIFY(second.waitForFinished(10000));
        std::printf("second launch ended after %lld ms\n", clock.elapsed());
        QCOMPARE(second.exitStatus(), QProcess::NormalExit);
        QCOMPARE(second.exitCode(), 0);

        QTRY_COMPARE_WITH_TIMEOUT(visibleClientWindow(), window, 5000);
        QTRY_COMPARE_WITH_TIMEOUT(activeWindow(), window, 5000);
        QCOMPARE(first.state(), QProcess::Running);

        // Closing the client lets go of its lock and socket.
        QVERIFY(commandOutput(QStringLiteral("xdotool"),
                              {QStringLiteral("windowactivate"), QStringLiteral("--sync"), window,
                               QStringLiteral("key"), QStringLiteral("alt+F4")}));
        QVERIFY(first.waitForFinished(15000));
        QCOMPARE(first.exitCode(), 0);
        SingleInstance probe(runtime.path());
        QVERIFY(!QFile::exists(probe.lockPath()));
        QVERIFY(!QFile::exists(probe.socketPath()));
    }

    // Neither a page that keeps raising alerts nor the system closing the splash holds the start
    // up: the main window comes, and the client ends cleanly when it is closed.
    void startUpSurvivesAnAlertingPageAndAClosedSplash() {
        const sorvo::testing::LoopbackServer site([](httplib::Server& routes) {
            routes.Get(".*", [](const httplib::Request&, httplib::Response& response) {
                response.set_content(
                    "<html><body><script>alert(1); alert(2); alert(3); alert(4);"
                    "setInterval(() => alert('again'), 200);</script></body></html>",
                    "text/html");
            });
        });
        QTemporaryDir runtime;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
        QProcess client;
        client.setProcessEnvironment(environment);
        client.setProcessChannelMode(QProcess::ForwardedChannels);
        client.start(QCoreApplication::applicationFilePath(),
                     {QStringLiteral("--client"), QString::fromStdString(site.host())});
        QVERIFY(client.waitForStarted());

        const QStringList closeSplash{QStringLiteral("-c"),
                                      QStringLiteral("索沃电台正在启动中...")};
        QTRY_VERIFY_WITH_TIMEOUT(commandOutput(QStringLiteral("wmctrl"), closeSplash, 5000), 15000);
        QString window;
        QTRY_VERIFY_WITH_TIMEOUT(!(window = visibleClientWindow()).isEmpty(), 30000);
        QCOMPARE(client.state(), QProcess::Running);

        QVERIFY(commandOutput(QStringLiteral("xdotool"),
                              {QStringLiteral("windowactivate"), QStringLiteral("--sync"), window,
                               QStringLiteral("key"), QStringLiteral("alt+F4")}));
        QVERIFY(client.waitForFinished(15000));
        QCOMPARE(client.exitStatus(), QProcess::NormalExit);
        QCOMPARE(client.exitCode(), 0);
    }
};

int main(int argc, char* argv[]) {
    if (const auto clientExit = runAsClientChild(argc, argv)) return *clientExit;
    if (argc == 3 && QByteArray(argv[1]) == "--hold") {
        // Holds the lock until it is killed, as a client that dies without cleaning up.
        QCoreApplication application(argc, argv);
        SingleInstance instance(QString::fromLocal8Bit(argv[2]));
        if (!instance.claim()) return 1;
        std::printf("held\n");
        std::fflush(stdout);
        QThread::sleep(60);
        return 0;
    }
    ui::program::prepareProcess();
    QApplication application(argc, argv);
    ui::program::configureApplication();
    SingleInstanceTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_single_instance.moc"

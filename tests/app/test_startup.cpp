#include "app/client.h"
#include "app/main_window.h"
#include "config/hosts.h"
#include "platform/platform.h"
#include "support/client_child.h"
#include "support/page_server.h"
#include "support/update_desk.h"
#include "ui/framework/canvas.h"
#include "ui/framework/picture_box.h"
#include "ui/framework/program.h"
#include "ui/framework/tray_icon.h"
#include "ui/framework/web_browser.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMovie>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QWebEngineView>

using namespace sorvo;

namespace {

struct Sample {
    qint64 at;
    bool splashVisible;
    bool mainVisible;
    bool trayShown;
};

QWidget* topLevel(const QString& name) {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == name && w->isVisible()) return w;
    return nullptr;
}

bool runCommand(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    return process.waitForFinished(10000) && process.exitCode() == 0;
}

} // namespace

class StartupTest : public QObject {
    Q_OBJECT
  private slots:
    // The client starts once for all the tests; each looks at what it needs of the start.
    void initTestCase() {
        hosts().site = server_.host();
        hosts().forum = forum_.host();
        auto* mainWindow = new app::MainWindow(programUpdates().controller);
        QElapsedTimer clock;
        QTimer sampler;
        connect(&sampler, &QTimer::timeout, [&] {
            QWidget* splash = topLevel(QStringLiteral("SplashWindow"));
            if (splash && !splashSeen_) {
                splashSeen_ = true;
                splashGeometry_ = splash->geometry();
                splashCornerClipped_ = !splash->mask().contains(QPoint(2, 0));
                auto* picture = splash->findChild<ui::PictureBox*>();
                connect(picture->movie(), &QMovie::frameChanged, [this] { ++frameChanges_; });
            }
            samples_ << Sample{clock.elapsed(), splash != nullptr, mainWindow->isVisible(),
                               mainWindow->trayIcon() && mainWindow->trayIcon()->isShown()};
        });
        clock.start();
        sampler.start(20);
        mainWindow->load();
        // Until a sample has seen the main window up.
        QVERIFY(QTest::qWaitFor([&] { return !samples_.isEmpty() && samples_.back().mainVisible; },
                                30000));
        sampler.stop();
        mainWindow_ = mainWindow;
    }

    void splashShowsForThreeSecondsThenTheMainWindow() {
        QVERIFY(splashSeen_);
        QCOMPARE(splashGeometry_, QRect(50, 50, 770, 330));
        QVERIFY(splashCornerClipped_);
        qint64 splashFirst = -1, splashLast = -1, mainFirst = -1;
        for (const Sample& s : samples_) {
            if (s.splashVisible) {
                if (splashFirst < 0) splashFirst = s.at;
                splashLast = s.at;
                QVERIFY2(!s.mainVisible, "the main window showed while the splash was up");
                QVERIFY2(s.trayShown, "no tray icon during the splash");
            }
            if (s.mainVisible && mainFirst < 0) mainFirst = s.at;
        }
        // How soon and how long: bench-startup measures that.
        QVERIFY(splashFirst >= 0);
        QVERIFY(mainFirst > splashLast);
        // The picture moves.
        QVERIFY2(frameChanges_ >= 2, qPrintable(QString::number(frameChanges_)));
        QVERIFY(mainWindow_->isVisible());
        QCOMPARE(mainWindow_->trayToggleState(), 0);
        QCOMPARE(mainWindow_->trayIcon()->tooltip(),
                 QStringLiteral("中国首款320kbps高音质在线电台收听"));
        QVERIFY(mainWindow_->windowFlags().testFlag(Qt::WindowSystemMenuHint));
    }

    void mainWindowIsRoundedAndComposed() {
        app::MainWindow& window = *mainWindow_;
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCOMPARE(window.geometry(), QRect(50, 50, 960, 440));
        QCOMPARE(window.windowTitle(), QStringLiteral("索沃电台"));
        QTRY_VERIFY(!window.mask().isEmpty());
        QVERIFY(!window.mask().contains(QPoint(0, 0)));
        QVERIFY(!window.mask().contains(QPoint(959, 439)));
        QVERIFY(window.mask().contains(QPoint(3, 0)));
        QVERIFY(window.mask().contains(QPoint(480, 438)));
        QVERIFY(!window.mask().contains(QPoint(480, 439)));

        const ui::Canvas& strip = window.titleCanvas();
        const ui::Colour grey = ui::rgb(192, 192, 192);
        // Column 915 is the close glyph's left border; 916 is the minimise glyph's right border
        // seen through the close glyph's transparent inside.
        for (int y = 2; y < 18; ++y) {
            QCOMPARE(strip.pixel(915, y), grey);
            QCOMPARE(strip.pixel(916, y), grey);
        }
        QCOMPARE(strip.pixel(10, 5), ui::fromQRgb(stripTile().pixel(3, 5)));
    }

    void radioBrowserShowsTheRadioPage() {
        ui::WebBrowser& browser = mainWindow_->radioBrowser();
        QCOMPARE(browser.geometry(), QRect(-121, 24, 1200, 450));
        QCOMPARE(browser.url().toString(),
                 QStringLiteral("http://%1/diantai/sorvo/").arg(server_.host()));
        QTRY_COMPARE_WITH_TIMEOUT(browser.title(), QStringLiteral("/diantai/sorvo/"), 20000);
        // The forum is the radio's own too: the page goes there in the window, unasked.
        const QString forumPage = QStringLiteral("http://%1/forum.php").arg(forum_.host());
        browser.findChild<QWebEngineView*>()->page()->runJavaScript(
            QStringLiteral("location.href = '%1'").arg(forumPage));
        QTRY_COMPARE_WITH_TIMEOUT(browser.title(), QStringLiteral("/forum.php"), 20000);
    }

    // However the system asks, by a close request (the close button, Alt+F4) or by SIGTERM (the
    // session's end, `kill`), the client ends through its own quit, with exit code 0.
    void clientEndsWithExitCodeZeroWhenTheSystemAsks() {
        QProcess closed;
        startClient(closed);
        // Once the main window shows, the window manager is asked to close it.
        const QStringList windows = clientWindows(closed.processId(), 15000);
        QCOMPARE(windows.size(), 1);
        const QString window = windows.first();
        // A window the window manager has only just taken on may miss the first request.
        for (int attempt = 0; attempt < 5 && closed.state() != QProcess::NotRunning; ++attempt) {
            QVERIFY(runCommand(QStringLiteral("wmctrl"),
                               {QStringLiteral("-i"), QStringLiteral("-c"), window}));
            closed.waitForFinished(3000);
        }
        QCOMPARE(closed.state(), QProcess::NotRunning);
        QCOMPARE(closed.exitStatus(), QProcess::NormalExit);
        QCOMPARE(closed.exitCode(), 0);

        QProcess terminated;
        startClient(terminated);
        // Once the browser engine runs as well, as it has its own ways with signals.
        QVERIFY(QTest::qWaitFor(
            [&] {
                return runCommand(QStringLiteral("pgrep"),
                                  {QStringLiteral("-P"), QString::number(terminated.processId()),
                                   QStringLiteral("QtWebEngine")});
            },
            30000));
        terminated.terminate();
        QVERIFY(terminated.waitForFinished(20000));
        QCOMPARE(terminated.exitStatus(), QProcess::NormalExit);
        QCOMPARE(terminated.exitCode(), 0);
    }

    // Without a display server (the offscreen platform, as on a build machine) the client comes
    // up, finds no tray and runs on until it is told to stop.
    void clientRunsWithoutADisplay() {
        QProcess client;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        environment.remove(QStringLiteral("DISPLAY"));
        client.setProcessEnvironment(environment);
        client.start(QCoreApplication::applicationFilePath(),
                     {QStringLiteral("--client"), server_.host()});
        QVERIFY(client.waitForStarted());
        QString said;
        QVERIFY(QTest::qWaitFor(
            [&] {
                said += QString::fromUtf8(client.readAllStandardError());
                return said.contains(QStringLiteral("No tray was found"));
            },
            60000));
        QVERIFY2(!client.waitForFinished(5000), qPrintable(said));
        client.terminate();
        QVERIFY(client.waitForFinished());
    }

  private:
    void startClient(QProcess& client) {
        client.setProcessChannelMode(QProcess::ForwardedChannels);
        client.start(QCoreApplication::applicationFilePath(),
                     {QStringLiteral("--client"), server_.host()});
        QVERIFY(client.waitForStarted());
    }

    static QImage stripTile() { return QImage(QStringLiteral(":/pictures/StripTile")); }

    PageServer server_;
    PageServer forum_;
    app::MainWindow* mainWindow_ = nullptr;
    // What the start showed, sampled every 20 ms.
    QList<Sample> samples_;
    bool splashSeen_ = false;
    QRect splashGeometry_;
    bool splashCornerClipped_ = false;
    int frameChanges_ = 0;
};

SORVO_CLIENT_TEST_MAIN(StartupTest)

#include "test_startup.moc"

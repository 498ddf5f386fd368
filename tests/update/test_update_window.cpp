#include "config/hosts.h"
#include "download/file_identity.h"
#include "support/event_rounds.h"
#include "support/gui_test_main.h"
#include "support/opened_files.h"
#include "ui/framework/graphic_button.h"
#include "ui/framework/skin_menu.h"
#include "ui/framework/tray_icon.h"
#include "update/package_location.h"
#include "update/progress_texts.h"
#include "update/update_controller.h"
#include "update/update_services.h"
#include "update/update_window.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QSet>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>
#include <thread>

using namespace sorvo;
using namespace sorvo::update;

namespace {

// Counters and clock as the test sets them.
struct ScriptedServices final : UpdateServices {
    int stops = 0;
    int starts = 0;
    download::DownloadSettings started;
    std::int64_t done = 0;
    std::int64_t stored = 0;
    std::int64_t speed = 0;
    std::int64_t rate = 0;
    std::int64_t now = 0;

    void stopDownload() override { ++stops; }
    void startDownload(download::DownloadSettings& settings) override {
        ++starts;
        started = settings;
    }
    std::int64_t bytesDone() const override { return done; }
    std::int64_t bytesStored() const override { return stored; }
    std::int64_t currentSpeed() const override { return speed; }
    std::int64_t overallRate() const override { return rate; }
    std::int64_t nowMs() const override { return now; }

    // What the started download reports, from a thread of its own as the component does.
    void report(const download::Event& event) {
        std::thread([this, event] { started.eventHook(event); }).join();
        // The news is posted to the UI thread, as the controller posts it.
        QCoreApplication::processEvents();
    }
    void reportSize(std::int64_t bytes) { report({.kind = download::SizeKnown, .bytes = bytes}); }
    void reportFailure(download::MessageCode why, std::int32_t httpStatus = 0) {
        report({.kind = download::Failed, .reason = why, .httpStatus = httpStatus});
    }
    // The package in place at `path`, as the component reports it.
    void reportFinished(const QString& path) {
        const auto identity = download::identityOf(QFile::encodeName(path).toStdString());
        report({.kind = download::Finished, .file = identity.value_or(download::FileIdentity{})});
    }
};

QString text(const UpdateWindow& window, const char* formName) {
    return window.control<QLabel>(QString::fromUtf8(formName))->text();
}

int position(const UpdateWindow& window) {
    return window.control<QProgressBar>(QStringLiteral("进度条1"))->value();
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (file.open(QIODevice::WriteOnly)) file.write(bytes);
}

// The interval of a running timer, 0 for a stopped one.
int interval(const UpdateWindow& window, const char* formName) {
    const QTimer* timer = window.timer(QString::fromUtf8(formName));
    return timer->isActive() ? timer->interval() : 0;
}

} // namespace

class UpdateWindowTest : public QObject {
    Q_OBJECT

    QTemporaryDir home;
    ScriptedServices services;
    std::unique_ptr<UpdateController> controller;
    QPointer<UpdateWindow> window;

    UpdateWindow& openStarted() {
        openIdle();
        window->control<ui::GraphicButton>(QStringLiteral("按钮1"))->click();
        return *window;
    }

    UpdateWindow& openIdle() {
        window = new UpdateWindow(*controller);
        window->showModeless();
        if (!QTest::qWaitForWindowExposed(window))
            QTest::qFail("the update window is not shown", __FILE__, __LINE__);
        return *window;
    }

  private slots:
    void initTestCase() {
        // The upgrade page goes to a closed loopback port; nothing leaves the machine.
        hosts().site = QStringLiteral("127.0.0.1:9");
        hosts().download = QStringLiteral("127.0.0.1:9");
        // The package goes to a download folder of the test's own.
        QVERIFY(QDir().mkpath(home.filePath(QStringLiteral("config"))));
        writeFile(home.filePath(QStringLiteral("config/user-dirs.dirs")),
                  "XDG_DOWNLOAD_DIR=\"" + home.path().toUtf8() + "\"\n");
        qputenv("XDG_CONFIG_HOME", home.filePath(QStringLiteral("config")).toUtf8());
    }

    void init() {
        services = ScriptedServices{};
        controller = std::make_unique<UpdateController>(services);
    }

    void cleanup() {
        if (window) window->close();
        QTRY_VERIFY(!window);
        controller.reset();
    }

    void createdWindowIsIdleWithItsTrayIconAndPackagePlaces() {
        UpdateWindow& w = openIdle();
        QCOMPARE(text(w, "标签进度"), QStringLiteral("等待下载"));
        QCOMPARE(text(w, "标签大小"), QStringLiteral("下载进度"));
        QCOMPARE(position(w), 0);
        QCOMPARE(interval(w, "时钟"), 0);
        QCOMPARE(interval(w, "时钟1"), 0);
        QVERIFY(w.trayIcon() && w.trayIcon()->isShown());
        QCOMPARE(w.trayIcon()->tooltip(), QStringLiteral("索沃音乐盒在线更新升级"));
        QCOMPARE(controller->packageUrl(), packageUrlOn(hosts().download));
        QVERIFY(controller->packagePath().endsWith(QStringLiteral("/索沃电台_升级包.exe")));
        QVERIFY(!w.mask().contains(QPoint(0, 0)));
        QVERIFY(w.mask().contains(QPoint(188, 138)));
        QCOMPARE(services.starts, 0);
    }

    void startButtonFillsTheSettingsAndStartsTheTimers() {
        openIdle();
        window->control<QComboBox>(QStringLiteral("组合框"))->setCurrentIndex(3);
        services.now = 4242;
        window->control<ui::GraphicButton>(QStringLiteral("按钮1"))->click();

        QCOMPARE(services.starts, 1);
        const download::DownloadSettings& s = services.started;
        QCOMPARE(s.writeBufferSize, 4096);
        QCOMPARE(QString::fromStdString(s.url), controller->packageUrl());
        QCOMPARE(QString::fromStdString(s.path), controller->packagePath());
        QCOMPARE(s.speedValue, 20);
        QCOMPARE(s.maxRetries, 999999999);
        QCOMPARE(s.connectTimeoutMs, 5000);
        QCOMPARE(s.noDataTimeoutMs, 5001);
        QCOMPARE(s.retryWindowMs, 10000);
        QCOMPARE(s.retryDelayMs, 1000);
        QCOMPARE(s.receiveBufferSize, 20480);
        // An earlier download is stopped before this one starts, so its size cannot linger.
        QCOMPARE(services.stops, 1);
        QCOMPARE(controller->totalBytes(), 0);
        QVERIFY(s.userName.empty() && s.password.empty());
        QVERIFY(s.eventHook && s.messageHook);
        services.reportSize(1234);
        QTRY_COMPARE(controller->totalBytes(), 1234);

        QVERIFY(!window->control<ui::GraphicButton>(QStringLiteral("按钮1"))->isEnabled());
        QCOMPARE(text(*window, "标签大小"), QStringLiteral("正在连接下载服务器..."));
        QCOMPARE(interval(*window, "时钟"), 50);
        QCOMPARE(interval(*window, "时钟1"), 1000);
        services.now = 4242 + 1500;
        QCOMPARE(controller->elapsedMs(), 1500);
    }

    void withoutASizeTheTicksChangeNothing() {
        UpdateWindow& w = openStarted();
        QCOMPARE(controller->totalBytes(), 0);
        services.done = 500;
        services.reportSize(0);
        QCoreApplication::processEvents();
        w.onFastTick();
        w.onStatusTick();
        QCOMPARE(position(w), 0);
        QCOMPARE(text(w, "标签进度"), QStringLiteral("等待下载"));
        QCOMPARE(text(w, "标签大小"), QStringLiteral("正在连接下载服务器..."));
        QCOMPARE(text(w, "标签速度"), QString());
        QCOMPARE(w.trayIcon()->tooltip(), QStringLiteral("索沃音乐盒在线更新升级"));
        // A retry the component makes by itself changes nothing here.
        services.report({.kind = download::Retrying, .attempt = 1});
        QCoreApplication::processEvents();
        QVERIFY(window);
        QCOMPARE(controller->totalBytes(), 0);
    }

    void statusTickShowsTheDownloadFromTheCounters() {
        UpdateWindow& w = openStarted();
        constexpr std::int32_t megabyte = 1048576;
        services.reportSize(megabyte * 13 / 4);
        services.done = megabyte * 5 / 4;
        services.speed = 1023;
        services.rate = 100000;
        w.onFastTick();
        QCOMPARE(position(w), 384);
        // Texts wait for the status tick.
        QCOMPARE(text(w, "标签进度"), QStringLiteral("等待下载"));
        w.onStatusTick();
        QCOMPARE(text(w, "标签进度"), QStringLiteral("已下载:38.4%"));
        QCOMPARE(w.trayIcon()->tooltip(), QStringLiteral("已下载:38.4%"));
        QCOMPARE(text(w, "标签大小"), QStringLiteral("进度：1.25M/3.25M"));
        QCOMPARE(text(w, "标签速度"), QStringLiteral("速度：0KB/秒 "));
        QCOMPARE(text(w, "标签时间"), QStringLiteral("剩余时间:20秒"));

        // The percentage is the bar's, as the last fast tick left it.
        services.reportSize(1000);
        services.done = 523;
        w.onFastTick();
        services.done = 600;
        w.onStatusTick();
        QCOMPARE(text(w, "标签进度"), QStringLiteral("已下载:52.3%"));
        QCOMPARE(w.trayIcon()->tooltip(), QStringLiteral("已下载:52.3%"));

        // Under a second to go, or no rate yet: the remaining time keeps its last text.
        QCOMPARE(text(w, "标签时间"), QStringLiteral("剩余时间:20秒"));
        services.rate = 0;
        w.onStatusTick();
        QCOMPARE(text(w, "标签时间"), QStringLiteral("剩余时间:20秒"));
    }

    void aboveNinetyNinePercentTheWindowVerifies() {
        UpdateWindow& w = openStarted();
        services.reportSize(1000);
        services.done = 990;
        services.rate = 1;
        w.onFastTick();
        w.onStatusTick();
        QCOMPARE(position(w), 990);
        QCOMPARE(text(w, "标签进度"), QStringLiteral("已下载:99%"));
        QCOMPARE(text(w, "标签时间"), QStringLiteral("剩余时间:10秒"));

        services.done = 991;
        w.onFastTick();
        QCOMPARE(position(w), 1000);
        QCOMPARE(text(w, "标签速度"), QStringLiteral("正在效验版本!"));
        QCOMPARE(text(w, "标签进度"), QString());
        QCOMPARE(text(w, "标签大小"), QString());
        QCOMPARE(text(w, "标签时间"), QStringLiteral("剩余时间:10秒"));

        // Data on disk one byte short, or none yet, keeps it verifying with both timers running.
        services.stored = 999;
        w.onStatusTick();
        services.stored = 0;
        w.onStatusTick();
        QCOMPARE(text(w, "标签速度"), QStringLiteral("正在效验版本!"));
        QCOMPARE(text(w, "标签进度"), QString());
        QCOMPARE(interval(w, "时钟"), 50);
        QCOMPARE(interval(w, "时钟1"), 1000);
    }

    void theFullFileEndsTheVerification() {
        services.now = 1000;
        UpdateWindow& w = openStarted();
        constexpr std::int32_t total = 1048576 * 13 / 4;
        services.reportSize(total);
        services.done = total;
        w.onFastTick();
        services.stored = total;
        services.now = 13340; // 12.34 s later
        w.onStatusTick();
        QCOMPARE(text(w, "标签大小"), QStringLiteral("文件大小:3.25M"));
        QCOMPARE(text(w, "标签时间"), QStringLiteral("总耗时:12.34秒"));
        QCOMPARE(text(w, "标签进度"), QStringLiteral("已完成:100%"));
        QCOMPARE(text(w, "标签速度"), QStringLiteral("正在效验版本!"));
        QCOMPARE(w.trayIcon()->tooltip(), QStringLiteral("已完成:100%"));
        QCOMPARE(interval(w, "时钟"), 0);
        QCOMPARE(interval(w, "时钟1"), 0);
    }

    // A failure stops the timers, says why in the size label and offers the start button again,
    // which starts the download anew; nothing else still reads as progress.
    void aFailureIsShownAndTheStartButtonTriesAgain() {
        UpdateWindow& w = openStarted();
        services.reportSize(1000);
        services.done = 450;
        services.rate = 100;
        w.onFastTick();
        w.onStatusTick();
        services.reportFailure(download::MessageCode::HttpError, 404);
        QTRY_COMPARE(w.phase(), UpdatePhase::Failed);
        QCOMPARE(text(w, "标签大小"), QStringLiteral("下载失败：没有升级包"));
        QCOMPARE(text(w, "标签进度"), QString());
        QCOMPARE(text(w, "标签时间"), QString());
        QCOMPARE(text(w, "标签速度"), QString());
        QCOMPARE(position(w), 0);
        QCOMPARE(w.trayIcon()->tooltip(), QStringLiteral("下载失败"));
        QCOMPARE(interval(w, "时钟"), 0);
        QCOMPARE(interval(w, "时钟1"), 0);
        auto* start = w.control<ui::GraphicButton>(QStringLiteral("按钮1"));
        QVERIFY(start->isEnabled());

        start->click();
        QCOMPARE(services.starts, 2);
        QCOMPARE(w.phase(), UpdatePhase::Downloading);
        QVERIFY(!start->isEnabled());
        QCOMPARE(text(w, "标签大小"), QStringLiteral("正在连接下载服务器..."));
        QCOMPARE(text(w, "标签进度"), QStringLiteral("等待下载"));
        QCOMPARE(position(w), 0);
        QCOMPARE(w.trayIcon()->tooltip(), QStringLiteral("索沃音乐盒在线更新升级"));
        QCOMPARE(interval(w, "时钟"), 50);

        // A failure while verifying leaves neither the marker nor a full bar behind.
        services.reportSize(1000);
        QTRY_COMPARE(controller->totalBytes(), 1000);
        services.done = 1000;
        w.onFastTick();
        QCOMPARE(text(w, "标签速度"), QStringLiteral("正在效验版本!"));
        services.reportFailure(download::MessageCode::SignatureMismatch);
        QTRY_COMPARE(w.phase(), UpdatePhase::Failed);
        QCOMPARE(text(w, "标签速度"), QString());
        QCOMPARE(position(w), 0);
    }

    // Every reason fits the size label, which clips what is wider.
    void everyFailureReasonFitsItsLabel() {
        UpdateWindow& w = openStarted();
        const auto& label = *w.control<QLabel>(QStringLiteral("标签大小"));
        QSet<QString> reasons;
        for (int code = 1; code <= static_cast<int>(download::MessageCode::PackageChanged);
             ++code) {
            for (const int status : {0, 404, 503}) {
                const QString reason =
                    failureText(static_cast<download::MessageCode>(code), status);
                reasons << reason;
                QVERIFY2(label.fontMetrics().horizontalAdvance(reason) <= label.width(),
                         qPrintable(reason));
            }
        }
        // What a listener can act on is told apart.
        QVERIFY(reasons.size() >= 8);
    }

    // A cancellation (a new start, the program's end) is nobody's failure, and a window that
    // started nothing has no failure to show.
    void cancellationsAndOtherWindowsFailuresShowNothing() {
        UpdateWindow& idle = openIdle();
        controller->start(20); // started elsewhere, not by this window
        services.reportFailure(download::MessageCode::ConnectionLost);
        QCoreApplication::processEvents();
        QCOMPARE(idle.phase(), UpdatePhase::Idle);
        QCOMPARE(text(idle, "标签大小"), QStringLiteral("下载进度"));
        idle.close();
        QTRY_VERIFY(!window);

        UpdateWindow& w = openStarted();
        services.reportFailure(download::MessageCode::Cancelled);
        QCoreApplication::processEvents();
        QCOMPARE(w.phase(), UpdatePhase::Downloading);
        QCOMPARE(text(w, "标签大小"), QStringLiteral("正在连接下载服务器..."));
    }

    void hidingAndBringingBack() {
        UpdateWindow& w = openStarted();
        QSignalSpy closes(&w, &ui::SkinWindow::closed);
        w.requestClose();
        QVERIFY(!w.isVisible());
        QVERIFY(w.trayIcon()->isShown());
        QCOMPARE(interval(w, "时钟1"), 1000);

        w.onUpdateWindowTrayEvent(ui::TrayActivation::DoubleClick);
        QVERIFY(!w.isVisible());
        w.onUpdateWindowTrayEvent(ui::TrayActivation::Click);
        QVERIFY(w.isVisible());

        w.hide();
        QList<QAction*> items = w.trayMenu().actions();
        QCOMPARE(items.size(), 3);
        QVERIFY(items[0]->isSeparator());
        QCOMPARE(items[1]->text(), QStringLiteral("打开升级"));
        QCOMPARE(items[2]->text(), QStringLiteral("退出升级"));
        items[1]->trigger();
        QVERIFY(w.isVisible());
        QCOMPARE(closes.count(), 0);

        w.minimise();
        QTRY_VERIFY(w.isMinimized());
        w.onUpdateWindowTrayEvent(ui::TrayActivation::Click);
        QVERIFY(!w.isMinimized());
    }

    // Cancel means cancel: the download stops with the window, and nothing starts later.
    void cancelAndQuitStopTheDownloadAndDestroyTheWindow() {
        for (const bool byMenu : {false, true}) {
            UpdateWindow& w = openStarted();
            const int stopsBefore = services.stops;
            QSignalSpy destroyed(&w, &ui::SkinWindow::closed);
            if (byMenu)
                w.trayMenu().actions().at(2)->trigger();
            else
                w.control<ui::GraphicButton>(QStringLiteral("按钮2"))->click();
            QCOMPARE(destroyed.count(), 1);
            QCOMPARE(services.stops, stopsBefore + 1);
            QCOMPARE(w.trayIcon(), nullptr);
            QTRY_VERIFY(!window);
        }
    }

    void finishedSaysSoStartsThePackageAndClosesTheWindow() {
        OpenedFiles opened;
        opened.observe = [this] {
            return window ? text(*window, "标签速度") + u'|' + window->trayIcon()->tooltip()
                          : QStringLiteral("no window");
        };
        UpdateWindow& w = openStarted();
        services.reportSize(1000);
        services.done = 300;
        w.onFastTick();
        w.requestClose(); // hidden
        const QString target = controller->packagePath();
        writeFile(target, "package");
        services.reportFinished(target);
        QTRY_COMPARE(opened.paths.size(), 1);
        QCOMPARE(opened.paths.front(), target);
        QCOMPARE(opened.observations.front(), QStringLiteral("下载已完成!|下载已完成!"));
        QTRY_VERIFY(!window);

        // News of a download that was stopped is dropped, even when it was already on its way.
        controller->start(20);
        const auto stale = services.started.eventHook;
        controller->cancel();
        std::thread([stale] { stale({.kind = download::Finished}); }).join();
        QVERIFY(queuedWorkRan());
        QCOMPARE(opened.paths.size(), 1);

        // A package changed after it was verified is not started.
        UpdateWindow& again = openStarted();
        const auto verified = download::identityOf(QFile::encodeName(target).toStdString());
        writeFile(target, "planted");
        services.report({.kind = download::Finished, .file = verified.value()});
        QTRY_COMPARE(again.phase(), UpdatePhase::Failed);
        QCOMPARE(text(again, "标签大小"), QStringLiteral("下载失败：升级包不符"));
        QCOMPARE(opened.paths.size(), 1);
    }
};

SORVO_GUI_TEST_MAIN(UpdateWindowTest)
#include "test_update_window.moc"

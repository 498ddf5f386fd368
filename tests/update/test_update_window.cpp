#include "config/hosts.h"
#include "support/gui_test_main.h"
#include "support/opened_files.h"
#include "ui/framework/graphic_button.h"
#include "ui/framework/skin_menu.h"
#include "ui/framework/timer.h"
#include "ui/framework/tray_icon.h"
#include "update/download_event.h"
#include "update/download_hooks.h"
#include "update/package_location.h"
#include "update/progress_texts.h"
#include "update/update_services.h"
#include "update/update_state.h"
#include "update/update_window.h"

#include <QComboBox>
#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QSet>
#include <QSignalSpy>
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
    std::uint32_t now = 0;

    void stopDownload() override { ++stops; }
    void startDownload(download::DownloadSettings& settings) override {
        ++starts;
        started = settings;
    }
    std::int64_t bytesDone() const override { return done; }
    std::int64_t bytesStored() const override { return stored; }
    std::int64_t currentSpeed() const override { return speed; }
    std::int64_t overallRate() const override { return rate; }
    std::uint32_t tickCount() const override { return now; }
};

QString text(const UpdateWindow& window, const char* formName) {
    return window.control<QLabel>(QString::fromUtf8(formName))->text();
}

int position(const UpdateWindow& window) {
    return window.control<QProgressBar>(QStringLiteral("进度条1"))->value();
}

int interval(const UpdateWindow& window, const char* formName) {
    return window.timer(QString::fromUtf8(formName))->interval();
}

// Reports a size from a thread of its own, as the download component does.
void reportSize(std::int64_t bytes) {
    std::thread([bytes] { onDownloadEvent({.kind = download::SizeKnown, .bytes = bytes}); }).join();
}

void reportEvent(download::EventKind kind) {
    std::thread([kind] { onDownloadEvent({.kind = kind}); }).join();
}

void reportFailure(download::MessageCode why, std::int32_t httpStatus = 0) {
    std::thread([why, httpStatus] {
        onDownloadEvent({.kind = download::Failed, .reason = why, .httpStatus = httpStatus});
    }).join();
}

} // namespace

class UpdateWindowTest : public QObject {
    Q_OBJECT

    ScriptedServices services;
    QPointer<UpdateWindow> window;

    UpdateWindow& openStarted() {
        openIdle();
        window->control<ui::GraphicButton>(QStringLiteral("按钮1"))->click();
        return *window;
    }

    UpdateWindow& openIdle() {
        window = new UpdateWindow(services);
        ui::SkinWindow::load(window, false);
        if (!QTest::qWaitForWindowExposed(window))
            QTest::qFail("the update window is not shown", __FILE__, __LINE__);
        return *window;
    }

  private slots:
    void initTestCase() {
        // The upgrade page goes to a closed loopback port; nothing leaves the machine.
        hosts().site = QStringLiteral("127.0.0.1:9");
        hosts().download = QStringLiteral("127.0.0.1:9");
        createUpdateState();
    }

    void cleanupTestCase() { releaseUpdateState(); }

    void init() {
        services = ScriptedServices{};
        updateState().totalBytes = 0;
    }

    void cleanup() {
        if (window) window->destroyWindow();
        QTRY_VERIFY(!window);
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
        QCOMPARE(updateState().packageUrl, packageUrlOn(hosts().download));
        QVERIFY(updateState().packagePath.endsWith(QStringLiteral("/索沃电台_升级包.exe")));
        QVERIFY(!w.mask().contains(QPoint(0, 0)));
        QVERIFY(w.mask().contains(QPoint(188, 138)));
        QCOMPARE(UpdateWindow::current(), &w);
        QCOMPARE(services.starts, 0);
    }

    void startButtonFillsTheSettingsAndStartsTheTimers() {
        updateState().totalBytes = 777; // from an earlier download
        openIdle();
        window->control<QComboBox>(QStringLiteral("组合框"))->setCurrentIndex(3);
        services.now = 4242;
        window->control<ui::GraphicButton>(QStringLiteral("按钮1"))->click();

        QCOMPARE(services.starts, 1);
        const download::DownloadSettings& s = services.started;
        QCOMPARE(s.writeBufferSize, 4096);
        QCOMPARE(QString::fromStdString(s.url), updateState().packageUrl);
        QCOMPARE(QString::fromStdString(s.path), updateState().packagePath);
        QCOMPARE(s.speedValue, 20);
        QCOMPARE(s.maxRetries, 999999999);
        QCOMPARE(s.connectTimeoutMs, 5000);
        QCOMPARE(s.noDataTimeoutMs, 5001);
        QCOMPARE(s.retryWindowMs, 10000);
        QCOMPARE(s.retryDelayMs, 1000);
        QCOMPARE(s.receiveBufferSize, 20480);
        // An earlier download is stopped before this one starts, so its size cannot linger.
        QCOMPARE(services.stops, 1);
        QCOMPARE(updateState().totalBytes.load(), 0);
        QVERIFY(s.userName.empty() && s.password.empty());
        QVERIFY(s.eventHook && s.messageHook);
        s.eventHook({.kind = download::SizeKnown, .bytes = 1234});
        QCOMPARE(updateState().totalBytes.load(), 1234);

        QVERIFY(!window->control<ui::GraphicButton>(QStringLiteral("按钮1"))->isEnabled());
        QCOMPARE(text(*window, "标签大小"), QStringLiteral("正在连接下载服务器..."));
        QCOMPARE(interval(*window, "时钟"), 50);
        QCOMPARE(interval(*window, "时钟1"), 1000);
        QCOMPARE(updateState().startTicks, 4242);
    }

    void withoutASizeTheTicksChangeNothing() {
        UpdateWindow& w = openStarted();
        QCOMPARE(updateState().totalBytes.load(), 0);
        services.done = 500;
        reportSize(0);
        w.onFastTick();
        w.onStatusTick();
        QCOMPARE(position(w), 0);
        QCOMPARE(text(w, "标签进度"), QStringLiteral("等待下载"));
        QCOMPARE(text(w, "标签大小"), QStringLiteral("正在连接下载服务器..."));
        QCOMPARE(text(w, "标签速度"), QString());
        QCOMPARE(w.trayIcon()->tooltip(), QStringLiteral("索沃音乐盒在线更新升级"));
        // A retry the component makes by itself changes nothing here.
        reportEvent(download::Retrying);
        QCoreApplication::processEvents();
        QCOMPARE(UpdateWindow::current(), &w);
        QCOMPARE(updateState().totalBytes.load(), 0);
    }

    void statusTickShowsTheDownloadFromTheCounters() {
        UpdateWindow& w = openStarted();
        constexpr std::int32_t megabyte = 1048576;
        reportSize(megabyte * 13 / 4);
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
        reportSize(1000);
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
        reportSize(1000);
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
        services.now = 0xFFFFFFFFu - 1000;
        UpdateWindow& w = openStarted();
        constexpr std::int32_t total = 1048576 * 13 / 4;
        reportSize(total);
        services.done = total;
        w.onFastTick();
        services.stored = total;
        services.now = 11339; // 12.34 s later, across the tick count's wrap
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
    // which starts the download anew; the other labels keep what they showed.
    void aFailureIsShownAndTheStartButtonTriesAgain() {
        UpdateWindow& w = openStarted();
        reportSize(1000);
        services.done = 450;
        services.rate = 100;
        w.onFastTick();
        w.onStatusTick();
        reportFailure(download::MessageCode::HttpError, 404);
        QTRY_COMPARE(w.phase(), UpdatePhase::Failed);
        QCOMPARE(text(w, "标签大小"), QStringLiteral("下载失败：没有升级包"));
        QCOMPARE(text(w, "标签进度"), QStringLiteral("已下载:45%"));
        QCOMPARE(text(w, "标签时间"), QStringLiteral("剩余时间:5秒"));
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
        QCOMPARE(position(w), 0);
        QCOMPARE(w.trayIcon()->tooltip(), QStringLiteral("索沃音乐盒在线更新升级"));
        QCOMPARE(interval(w, "时钟"), 50);
    }

    // Every reason fits the size label, which clips what is wider.
    void everyFailureReasonFitsItsLabel() {
        UpdateWindow& w = openStarted();
        const auto& label = *w.control<QLabel>(QStringLiteral("标签大小"));
        QSet<QString> reasons;
        for (int code = 1; code <= static_cast<int>(download::MessageCode::PackageMismatch);
             ++code) {
            DownloadEvent event;
            event.failure = static_cast<download::MessageCode>(code);
            for (const int status : {0, 404, 503}) {
                event.httpStatus = status;
                const QString reason = failureText(event);
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
        reportFailure(download::MessageCode::ConnectionLost);
        QCoreApplication::processEvents();
        QCOMPARE(idle.phase(), UpdatePhase::Idle);
        QCOMPARE(text(idle, "标签大小"), QStringLiteral("下载进度"));
        idle.destroyWindow();
        QTRY_VERIFY(!window);

        UpdateWindow& w = openStarted();
        reportFailure(download::MessageCode::Cancelled);
        QCoreApplication::processEvents();
        QCOMPARE(w.phase(), UpdatePhase::Downloading);
        QCOMPARE(text(w, "标签大小"), QStringLiteral("正在连接下载服务器..."));
    }

    void hidingAndBringingBack() {
        UpdateWindow& w = openStarted();
        QVERIFY(!w.close());
        QVERIFY(!w.isVisible());
        QVERIFY(!w.isDestroyed());
        QVERIFY(w.trayIcon()->isShown());
        QCOMPARE(interval(w, "时钟1"), 1000);

        w.onUpdateWindowTrayEvent(ui::TrayIcon::LeftDoubleClick);
        QVERIFY(!w.isVisible());
        w.onUpdateWindowTrayEvent(ui::TrayIcon::LeftClick);
        QVERIFY(w.isVisible());

        w.hide();
        QList<QAction*> items = w.trayMenu().actions();
        QCOMPARE(items.size(), 3);
        QVERIFY(items[0]->isSeparator());
        QCOMPARE(items[1]->text(), QStringLiteral("打开升级"));
        QCOMPARE(items[2]->text(), QStringLiteral("退出升级"));
        items[1]->trigger();
        QVERIFY(w.isVisible());
        QVERIFY(!w.isDestroyed());

        w.setWindowStateValue(ui::SkinWindow::Minimised);
        QTest::qWait(50);
        w.onUpdateWindowTrayEvent(ui::TrayIcon::LeftClick);
        QCOMPARE(w.windowStateValue(), 0);
    }

    void openingAgainShowsTheSameWindowAsItIs() {
        UpdateWindow& w = openStarted();
        reportSize(1000);
        services.done = 400;
        w.onFastTick();
        w.onStatusTick();
        w.close();
        openUpdateWindow();
        QCOMPARE(UpdateWindow::current(), &w);
        QVERIFY(w.isVisible());
        QCOMPARE(text(w, "标签进度"), QStringLiteral("已下载:40%"));
        QCOMPARE(position(w), 400);
        QVERIFY(!w.control<ui::GraphicButton>(QStringLiteral("按钮1"))->isEnabled());
        QCOMPARE(services.starts, 1);
    }

    void cancelAndQuitDestroyTheWindowAndItsTrayIcon() {
        for (const bool byMenu : {false, true}) {
            UpdateWindow& w = openStarted();
            QSignalSpy destroyed(&w, &ui::SkinWindow::windowDestroyed);
            if (byMenu)
                w.trayMenu().actions().at(2)->trigger();
            else
                w.control<ui::GraphicButton>(QStringLiteral("按钮2"))->click();
            QCOMPARE(destroyed.count(), 1);
            QCOMPARE(w.trayIcon(), nullptr);
            QCOMPARE(UpdateWindow::current(), nullptr);
            QTRY_VERIFY(!window);
        }
    }

    void finishedSaysSoStartsThePackageAndClosesTheWindow() {
        OpenedFiles opened;
        opened.observe = [] {
            UpdateWindow* w = UpdateWindow::current();
            return w ? text(*w, "标签速度") + u'|' + w->trayIcon()->tooltip()
                     : QStringLiteral("no window");
        };
        UpdateWindow& w = openStarted();
        reportSize(1000);
        services.done = 300;
        w.onFastTick();
        w.close(); // hidden
        reportEvent(download::Finished);
        QTRY_COMPARE(opened.paths.size(), 1);
        QCOMPARE(opened.paths.front(), updateState().downloadTarget);
        QCOMPARE(updateState().downloadTarget, updateState().packagePath);
        QCOMPARE(opened.observations.front(), QStringLiteral("下载已完成!|下载已完成!"));
        QCOMPARE(UpdateWindow::current(), nullptr);
        QTRY_VERIFY(!window);

        // With no update window left, the package still starts.
        reportEvent(download::Finished);
        QTRY_COMPARE(opened.paths.size(), 2);
        QCOMPARE(opened.observations.back(), QStringLiteral("no window"));
    }
};

SORVO_GUI_TEST_MAIN(UpdateWindowTest)
#include "test_update_window.moc"

#include "config/hosts.h"
#include "download/downloader.h"
#include "support/event_rounds.h"
#include "support/gui_test_main.h"
#include "support/opened_files.h"
#include "support/small_disk.h"
#include "support/update_desk.h"
#include "support/upgrade_server.h"
#include "ui/framework/graphic_button.h"
#include "ui/framework/tray_icon.h"
#include "update/progress_texts.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QProgressBar>
#include <QSet>
#include <QTemporaryDir>
#include <QTimer>

using namespace sorvo;
using namespace sorvo::update;

namespace {

std::unique_ptr<UpdateDesk> desk;

constexpr int lowestSpeedEntry = 4; // "低速更新": about 48 KiB/s
constexpr int finishWithinMs = 20000;

QString labelText(const char* formName) {
    UpdateWindow* window = desk->window;
    return window ? window->control<QLabel>(QString::fromUtf8(formName))->text() : QString();
}

bool startButtonEnabled() {
    UpdateWindow* window = desk->window;
    return window && window->control<ui::GraphicButton>(QStringLiteral("按钮1"))->isEnabled();
}

UpdateWindow& openAndStart() {
    UpdateWindow& window = desk->open();
    window.control<QComboBox>(QStringLiteral("组合框"))->setCurrentIndex(lowestSpeedEntry);
    window.control<ui::GraphicButton>(QStringLiteral("按钮1"))->click();
    return window;
}

QByteArray storedPackage() {
    QFile file(desk->controller.packagePath());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class UpdateDownloadTest : public QObject {
    Q_OBJECT

    QTemporaryDir home;
    std::unique_ptr<UpgradeServer> server;

    void expectPackageStartedOnce(const OpenedFiles& opened) {
        QTRY_COMPARE_WITH_TIMEOUT(opened.paths.size(), 1, finishWithinMs);
        QCOMPARE(opened.paths.front(), desk->controller.packagePath());
        QCOMPARE(storedPackage(), QByteArray::fromStdString(server->package));
        QCOMPARE(desk->window, nullptr);
        // Whatever the download reported before it ended has been handled.
        QVERIFY(queuedWorkRan());
        QCOMPARE(opened.paths.size(), 1);
    }

    // The per-user download folder, with a dot in a parent folder's name.
    QString downloads() const { return home.filePath(QStringLiteral("jo.li/下载")); }

    void pointDownloadFolderAt(const QString& folder) {
        QFile dirs(home.filePath(QStringLiteral("config/user-dirs.dirs")));
        QVERIFY(dirs.open(QIODevice::WriteOnly));
        dirs.write("XDG_DOWNLOAD_DIR=\"" + folder.toUtf8() + "\"\n");
    }

  private slots:
    void initTestCase() {
        QVERIFY(QDir().mkpath(downloads()));
        QVERIFY(QDir().mkpath(home.filePath(QStringLiteral("config"))));
        pointDownloadFolderAt(downloads());
        qputenv("XDG_CONFIG_HOME", home.filePath(QStringLiteral("config")).toUtf8());
        qputenv("XDG_CACHE_HOME", home.filePath(QStringLiteral("cache")).toUtf8());

        server = std::make_unique<UpgradeServer>(); // a little under three seconds at that speed
        hosts().site = server->host();
        hosts().download = server->host();
        desk = std::make_unique<UpdateDesk>();
    }

    void cleanupTestCase() {
        desk.reset();
        server.reset();
    }

    void init() {
        server->status = 200;
        server->packageRequests = 0;
        server->pauseAt = -1;
        server->cutNextAt = -1;
        QFile::remove(home.filePath(QStringLiteral("jo.li/下载/索沃电台_升级包.exe")));
    }

    void cleanup() {
        if (UpdateWindow* window = desk->window) window->close();
        QTRY_COMPARE(desk->window, nullptr);
        // No download of this test goes on into the next.
        desk->controller.cancel();
    }

    void downloadShowsProgressThenStartsThePackageAndCloses() {
        OpenedFiles opened;
        UpdateWindow& window = openAndStart();
        QCOMPARE(desk->controller.packagePath(),
                 home.filePath(QStringLiteral("jo.li/下载/索沃电台_升级包.exe")));
        QCOMPARE(labelText("标签大小"), QStringLiteral("正在连接下载服务器..."));
        auto* bar = window.control<QProgressBar>(QStringLiteral("进度条1"));

        QSet<QString> percentages;
        QSet<QString> speeds;
        QList<int> positions;
        while (opened.paths.isEmpty() && desk->window) {
            percentages << labelText("标签进度");
            speeds << labelText("标签速度");
            positions << bar->value();
            QTest::qWait(50);
            QVERIFY2(positions.size() < finishWithinMs / 50, "the download did not finish");
        }
        expectPackageStartedOnce(opened);
        QCOMPARE(server->lastPath(), "/download/%CB%F7%CE%D6%B5%E7%CC%A8_%C9%FD%BC%B6%B0%FC.exe");

        QVERIFY(std::any_of(percentages.begin(), percentages.end(),
                            [](const QString& t) { return t.startsWith("已下载:"); }));
        QVERIFY(std::any_of(speeds.begin(), speeds.end(), [](const QString& t) {
            return t.startsWith("速度：") && t.endsWith("KB/秒 ") && t != "速度：0KB/秒 ";
        }));
        QVERIFY(std::is_sorted(positions.begin(), positions.end()));
        QVERIFY(positions.back() > 0);
    }

    void finishWhileHiddenStillStartsThePackage() {
        OpenedFiles opened;
        UpdateWindow& window = openAndStart();
        window.requestClose();
        QVERIFY(!window.isVisible());
        expectPackageStartedOnce(opened);
    }

    // Cancel means cancel: the download stops, and neither the package nor its part is left.
    void cancelStopsTheDownloadAndStartsNothing() {
        OpenedFiles opened;
        UpdateWindow& window = openAndStart();
        QTRY_VERIFY(server->packageRequests > 0);
        window.control<ui::GraphicButton>(QStringLiteral("按钮2"))->click();
        QCOMPARE(desk->window, nullptr);
        const QString part = desk->controller.packagePath() + QStringLiteral(".part");
        // Its worker has ended, and what it reported before the cancel has been handled.
        QTRY_VERIFY_WITH_TIMEOUT(!QFile::exists(part), finishWithinMs);
        QVERIFY(queuedWorkRan());
        QCOMPARE(opened.paths.size(), 0);
        QVERIFY(!QFile::exists(desk->controller.packagePath()));
    }

    void finishClosesANewIdleWindow() {
        OpenedFiles opened;
        opened.observe = [] { return labelText("标签速度") + u'|' + labelText("标签进度"); };
        UpdateWindow& first = openAndStart();
        QTRY_VERIFY(server->packageRequests > 0);
        first.close();
        desk->open();
        UpdateWindow* second = desk->window;
        QVERIFY(second && second != &first);
        QVERIFY(second->control<ui::GraphicButton>(QStringLiteral("按钮1"))->isEnabled());
        expectPackageStartedOnce(opened);
        QCOMPARE(opened.observations.front(), QStringLiteral("下载已完成!|等待下载"));
    }

    // Each failure that a listener can act on is told apart; the start button then tries again.
    void failuresAreShownWithTheirReasonAndCanBeRetried() {
        OpenedFiles opened;
        server->status = 404;
        UpdateWindow& window = openAndStart();
        QTRY_COMPARE(window.phase(), UpdatePhase::Failed);
        QCOMPARE(labelText("标签大小"), QStringLiteral("下载失败：没有升级包"));
        QCOMPARE(window.trayIcon()->tooltip(), QStringLiteral("下载失败"));
        QVERIFY(startButtonEnabled());
        QVERIFY(!QFile::exists(desk->controller.packagePath()));

        server->status = 200;
        window.control<ui::GraphicButton>(QStringLiteral("按钮1"))->click();
        expectPackageStartedOnce(opened);
    }

    // A server that keeps failing is retried until the retry window closes, then given up.
    void aServerErrorThatLastsIsAFailure() {
        server->status = 503;
        openAndStart();
        QTRY_COMPARE_WITH_TIMEOUT(labelText("标签大小"), QStringLiteral("下载失败：服务器出错"),
                                  finishWithinMs);
        QVERIFY(server->packageRequests >= 2);
        QVERIFY(startButtonEnabled());
    }

    // The server cut the package short and then only failed until the retry window closed: the
    // next start goes on from the bytes already on disk.
    void aFailedDownloadResumesOnTheNextStart() {
        OpenedFiles opened;
        constexpr std::int64_t cut = 60000;
        server->cutNextAt = cut;
        server->status = 503;
        UpdateWindow& window = openAndStart();
        QTRY_COMPARE_WITH_TIMEOUT(labelText("标签大小"), QStringLiteral("下载失败：服务器出错"),
                                  finishWithinMs);
        QCOMPARE(QFile(desk->controller.packagePath() + QStringLiteral(".part")).size(), cut);

        server->status = 200;
        window.control<ui::GraphicButton>(QStringLiteral("按钮1"))->click();
        // The bar goes on from the kept bytes.
        auto* bar = window.control<QProgressBar>(QStringLiteral("进度条1"));
        const int kept = barPosition(cut, static_cast<std::int64_t>(server->package.size()));
        QList<int> positions;
        while (opened.paths.isEmpty() && desk->window) {
            positions << bar->value();
            QTest::qWait(50);
            QVERIFY2(positions.size() < finishWithinMs / 50, "the download did not finish");
        }
        QVERIFY(std::any_of(positions.begin(), positions.end(), [&](int p) { return p >= kept; }));
        QVERIFY(std::none_of(positions.begin(), positions.end(),
                             [&](int p) { return p > 0 && p < kept; }));
        expectPackageStartedOnce(opened);
        QCOMPARE(server->lastRange(), "bytes=" + std::to_string(cut) + "-");
        QCOMPARE(server->lastIfRange(), server->etag);
    }

    void aFullDiskIsAFailure() {
        SmallDisk disk(64 * 1024);
        if (!disk.mounted())
            QSKIP(qPrintable("no full disk to be had here: " +
                             QString::fromStdString(disk.whyNot())));
        pointDownloadFolderAt(QString::fromStdString(disk.path().string()));
        openAndStart();
        QTRY_COMPARE_WITH_TIMEOUT(labelText("标签大小"), QStringLiteral("下载失败：磁盘空间不足"),
                                  finishWithinMs);
        QVERIFY(startButtonEnabled());
        pointDownloadFolderAt(downloads());
    }

    void noServerIsAFailure() {
        const QString host = hosts().download;
        hosts().download = QStringLiteral("127.0.0.1:9");
        openAndStart();
        hosts().download = host;
        QTRY_COMPARE_WITH_TIMEOUT(labelText("标签大小"), QStringLiteral("下载失败：连不上服务器"),
                                  finishWithinMs);
        QVERIFY(startButtonEnabled());
    }

    // The download folder went away after the window opened.
    void aFolderThatCannotTakeThePackageIsAFailure() {
        const QString folder = home.filePath(QStringLiteral("gone"));
        QVERIFY(QDir().mkpath(folder));
        pointDownloadFolderAt(folder);
        desk->open();
        QVERIFY(QDir(folder).removeRecursively());
        UpdateWindow& window = *desk->window;
        window.control<ui::GraphicButton>(QStringLiteral("按钮1"))->click();
        QTRY_COMPARE(labelText("标签大小"), QStringLiteral("下载失败：文件夹不可写"));
        pointDownloadFolderAt(downloads());
    }

    // A package of the same size left by an earlier update does not pass for this download:
    // the window verifies what this download has written.
    void aLeftoverPackageDoesNotCompleteTheVerification() {
        OpenedFiles opened;
        desk->open();
        QFile leftover(desk->controller.packagePath());
        QVERIFY(leftover.open(QIODevice::WriteOnly));
        leftover.write(QByteArray(static_cast<int>(server->package.size()), 'x'));
        leftover.close();
        // The last bytes are held back long enough for several status ticks.
        server->pauseAt = static_cast<std::int64_t>(server->package.size()) - 200;
        server->pauseMs = 3500;
        UpdateWindow& window = *desk->window;
        window.control<ui::GraphicButton>(QStringLiteral("按钮1"))->click();
        QTRY_COMPARE_WITH_TIMEOUT(window.phase(), UpdatePhase::Verifying, finishWithinMs);
        // Each status tick is the window's chance to take the leftover for the package.
        int ticks = 0;
        bool held = true;
        const QObject watch;
        QObject::connect(window.timer(QStringLiteral("时钟1")), &QTimer::timeout, &watch, [&] {
            if (!opened.paths.isEmpty()) return;
            ++ticks;
            held = held && window.phase() == UpdatePhase::Verifying &&
                   labelText("标签进度") != QStringLiteral("已完成:100%");
        });
        QTRY_VERIFY_WITH_TIMEOUT(ticks >= 2 || !opened.paths.isEmpty(), finishWithinMs);
        QVERIFY(ticks > 0);
        QVERIFY(held);
        server->pauseAt = -1;
        expectPackageStartedOnce(opened);
    }

    // The package's place changed while the download ran (the download folder moved, and a new
    // update window was opened): the file the download wrote is the one started.
    void theFinishedDownloadsOwnFileIsStarted() {
        OpenedFiles opened;
        server->bytesPerSecond = 100000;
        UpdateWindow& first = openAndStart();
        const QString written = desk->controller.packagePath();
        QTRY_VERIFY(server->packageRequests > 0);
        first.close();
        const QString elsewhere = home.filePath(QStringLiteral("elsewhere"));
        QVERIFY(QDir().mkpath(elsewhere));
        pointDownloadFolderAt(elsewhere);
        desk->open();
        QVERIFY(desk->controller.packagePath() != written);
        QTRY_COMPARE_WITH_TIMEOUT(opened.paths.size(), 1, finishWithinMs);
        QCOMPARE(opened.paths.front(), written);
        QCOMPARE(QFile(written).size(), static_cast<qint64>(server->package.size()));
        server->bytesPerSecond = 0;
        pointDownloadFolderAt(downloads());
    }

    // Without a download folder the package goes to a folder of the program's own that only
    // the user can enter, never to the temporary folder that every user shares.
    void aMissingDownloadFolderGivesWayToAPrivateFolder() {
        pointDownloadFolderAt(home.filePath(QStringLiteral("never made")));
        desk->open();
        const QString folder = home.filePath(QStringLiteral("cache/sorvo-radio/upgrade"));
        QCOMPARE(desk->controller.packagePath(), folder + QStringLiteral("/索沃电台_升级包.exe"));
        QCOMPARE(QFile::permissions(folder) & 0x0077, QFileDevice::Permissions());
        pointDownloadFolderAt(downloads());
    }
};

SORVO_GUI_TEST_MAIN(UpdateDownloadTest)
#include "test_update_download.moc"

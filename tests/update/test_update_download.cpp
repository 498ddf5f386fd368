#include "config/hosts.h"
#include "support/gui_test_main.h"
#include "support/opened_files.h"
#include "support/upgrade_server.h"
#include "ui/framework/graphic_button.h"
#include "update/update_state.h"
#include "update/update_window.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QProgressBar>
#include <QSet>
#include <QTemporaryDir>

using namespace sorvo;
using namespace sorvo::update;

namespace {

constexpr int lowestSpeedEntry = 4; // "低速更新": about 48 KiB/s
constexpr int finishWithinMs = 20000;

QString labelText(const char* formName) {
    UpdateWindow* window = UpdateWindow::current();
    return window ? window->label(QString::fromUtf8(formName)).text() : QString();
}

UpdateWindow& openAndStart() {
    openUpdateWindow();
    UpdateWindow& window = *UpdateWindow::current();
    window.control<QComboBox>(QStringLiteral("组合框"))->setCurrentIndex(lowestSpeedEntry);
    window.control<ui::GraphicButton>(QStringLiteral("按钮1"))->click();
    return window;
}

QByteArray storedPackage() {
    QFile file(updateState().packagePath);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class UpdateDownloadTest : public QObject {
    Q_OBJECT

    QTemporaryDir home;
    std::unique_ptr<UpgradeServer> server;

    void expectPackageStartedOnce(const OpenedFiles& opened) {
        QTRY_COMPARE_WITH_TIMEOUT(opened.paths.size(), 1, finishWithinMs);
        QCOMPARE(opened.paths.front(), updateState().packagePath);
        QCOMPARE(storedPackage(), QByteArray::fromStdString(server->package));
        QCOMPARE(UpdateWindow::current(), nullptr);
        QTest::qWait(300);
        QCOMPARE(opened.paths.size(), 1);
    }

    void pointDownloadFolderAt(const QString& folder) {
        QFile dirs(home.filePath(QStringLiteral("config/user-dirs.dirs")));
        QVERIFY(dirs.open(QIODevice::WriteOnly));
        dirs.write("XDG_DOWNLOAD_DIR=\"" + folder.toUtf8() + "\"\n");
    }

  private slots:
    void initTestCase() {
        // The per-user download folder, with a dot in a parent folder's name.
        const QString downloads = home.filePath(QStringLiteral("jo.li/下载"));
        QVERIFY(QDir().mkpath(downloads));
        QVERIFY(QDir().mkpath(home.filePath(QStringLiteral("config"))));
        pointDownloadFolderAt(downloads);
        qputenv("XDG_CONFIG_HOME", home.filePath(QStringLiteral("config")).toUtf8());

        server = std::make_unique<UpgradeServer>(); // a little under three seconds at that speed
        hosts().site = server->host();
        hosts().download = server->host();
        createUpdateState();
    }

    void cleanupTestCase() {
        releaseUpdateState();
        server.reset();
    }

    void init() {
        server->status = 200;
        server->packageRequests = 0;
        QFile::remove(updateState().packagePath);
    }

    void cleanup() {
        if (UpdateWindow* window = UpdateWindow::current()) window->destroyWindow();
        QTest::qWait(20);
    }

    void downloadShowsProgressThenStartsThePackageAndCloses() {
        OpenedFiles opened;
        UpdateWindow& window = openAndStart();
        QCOMPARE(updateState().packagePath,
                 home.filePath(QStringLiteral("jo.li/下载/索沃电台_升级包.exe")));
        QCOMPARE(labelText("标签大小"), QStringLiteral("正在连接下载服务器..."));
        auto* bar = window.control<QProgressBar>(QStringLiteral("进度条1"));

        QSet<QString> percentages;
        QSet<QString> speeds;
        QList<int> positions;
        while (opened.paths.isEmpty() && UpdateWindow::current()) {
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
        QVERIFY(!window.close());
        QVERIFY(!window.isVisible());
        expectPackageStartedOnce(opened);
    }

    void finishAfterCancelStillStartsThePackage() {
        OpenedFiles opened;
        UpdateWindow& window = openAndStart();
        QTRY_VERIFY(server->packageRequests > 0);
        window.control<ui::GraphicButton>(QStringLiteral("按钮2"))->click();
        QCOMPARE(UpdateWindow::current(), nullptr);
        expectPackageStartedOnce(opened);
    }

    void finishClosesANewIdleWindow() {
        OpenedFiles opened;
        opened.observe = [] { return labelText("标签速度") + u'|' + labelText("标签进度"); };
        UpdateWindow& first = openAndStart();
        QTRY_VERIFY(server->packageRequests > 0);
        first.destroyWindow();
        openUpdateWindow();
        UpdateWindow* second = UpdateWindow::current();
        QVERIFY(second && second != &first);
        QVERIFY(second->control<ui::GraphicButton>(QStringLiteral("按钮1"))->isEnabled());
        expectPackageStartedOnce(opened);
        QCOMPARE(opened.observations.front(), QStringLiteral("下载已完成!|等待下载"));
    }

    void aFailingServerLeavesTheWindowAsItWas() {
        for (const int status : {404, 500}) {
            OpenedFiles opened;
            server->status = status;
            UpdateWindow& window = openAndStart();
            // A missing package fails at once; a server error is retried, which shows the same.
            QTRY_VERIFY(server->packageRequests >= (status == 404 ? 1 : 2));
            QTest::qWait(1500);
            QCOMPARE(UpdateWindow::current(), &window);
            QCOMPARE(labelText("标签大小"), QStringLiteral("正在连接下载服务器..."));
            QCOMPARE(labelText("标签进度"), QStringLiteral("等待下载"));
            QVERIFY(!window.control<ui::GraphicButton>(QStringLiteral("按钮1"))->isEnabled());
            QVERIFY(opened.paths.isEmpty());
            QVERIFY(!QFile::exists(updateState().packagePath));
            window.destroyWindow();
            QTest::qWait(20);
            server->packageRequests = 0;
        }
    }

    void aMissingDownloadFolderGivesWayToTheTemporaryFolder() {
        pointDownloadFolderAt(home.filePath(QStringLiteral("never made")));
        openUpdateWindow();
        QCOMPARE(updateState().packagePath,
                 QDir::tempPath() + QStringLiteral("/索沃电台_升级包.exe"));
    }
};

SORVO_GUI_TEST_MAIN(UpdateDownloadTest)
#include "test_update_download.moc"

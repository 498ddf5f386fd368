// Long runs that show slow leaks and rare failures: hundreds of downloads against a loopback
// server that misbehaves at random, and hundreds of openings of every dialog and of the update
// window. Each part bounds its own length by its cycle count; nothing here is timed.
#include "config/hosts.h"
#include "download/downloader.h"
#include "resources/window_design.h"
#include "support/gui_test_main.h"
#include "support/loopback_server.h"
#include "support/modal_dialog.h"
#include "support/update_desk.h"
#include "ui/dialogs.h"
#include "ui/framework/skin_window.h"
#include "update/update_window.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPointer>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <mutex>
#include <optional>
#include <random>
#include <set>
#include <sstream>
#include <thread>

using namespace sorvo;
using namespace std::chrono_literals;

namespace {

void closeOnceShown(ui::SkinWindow* dialog) {
    QVERIFY(QTest::qWaitForWindowExposed(dialog));
    dialog->close();
}

// Resident memory of this process in KiB.
long residentKiB() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
    return -1;
}

long entriesIn(const char* folder) {
    return std::distance(std::filesystem::directory_iterator(folder),
                         std::filesystem::directory_iterator());
}

// Open file descriptors of this process, leaving out the server's side of its connections
// (sockets whose local port is the server's): those close on the server's own schedule, a
// stalled answer's only after its handler wakes.
long descriptorsOutside(int serverPort) {
    std::set<std::string> serverSockets;
    std::ifstream table("/proc/self/net/tcp");
    std::string line;
    std::getline(table, line); // the heading
    while (std::getline(table, line)) {
        std::istringstream fields(line);
        std::string slot, local, remote, state, queues, timer, retransmits, uid, timeout, inode;
        fields >> slot >> local >> remote >> state >> queues >> timer >> retransmits >> uid >>
            timeout >> inode;
        const auto colon = local.find(':');
        if (colon != std::string::npos &&
            std::stoi(local.substr(colon + 1), nullptr, 16) == serverPort)
            serverSockets.insert("socket:[" + inode + "]");
    }
    long count = 0;
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
        std::error_code gone;
        const auto target = std::filesystem::read_symlink(entry.path(), gone);
        if (!gone && !serverSockets.count(target.string())) ++count;
    }
    return count;
}

// What the server does with one request, drawn at random.
enum class Fault { None, NotFound, ServerError, CutBody, Stall, NoLength, Redirect, count };

// Serves one package, misbehaving at random (from a fixed seed, so a failing run can be
// repeated) on every request, retries and redirected requests included.
class FaultyServer {
  public:
    static constexpr int stallMs = 400;

    explicit FaultyServer(std::uint32_t seed)
        : random_(seed), server_([this](httplib::Server& routes) {
              routes.Get("/package.exe",
                         [this](const httplib::Request& request, httplib::Response& response) {
                             serve(next(), request, response);
                         });
          }) {
        std::mt19937 bytes(seed ^ 0x5eedu);
        package_.resize(96 * 1024 + 123);
        for (char& c : package_)
            c = static_cast<char>(bytes());
    }

    int port() const { return server_.port(); }
    std::string url() const { return server_.url("/package.exe"); }
    const std::string& package() const { return package_; }

  private:
    Fault next() {
        std::lock_guard lock(mutex_);
        return static_cast<Fault>(random_() % static_cast<unsigned>(Fault::count));
    }

    // Every answer sends the whole package or fails; none of them takes a range.
    void serve(Fault fault, const httplib::Request& request, httplib::Response& response) {
        const auto half = static_cast<std::int64_t>(package_.size() / 2);
        sorvo::testing::Serving serving{.body = package_, .honourRanges = false};
        switch (fault) {
        case Fault::None:
            break;
        case Fault::NotFound:
            serving.status = 404;
            break;
        case Fault::ServerError:
            serving.status = 500;
            break;
        case Fault::Redirect:
            response.set_redirect(url(), 302);
            return;
        case Fault::NoLength:
            serving.chunked = true;
            break;
        case Fault::Stall:
            serving.pauseAt = half;
            serving.pauseFor = std::chrono::milliseconds(stallMs);
            [[fallthrough]];
        case Fault::CutBody:
            serving.cutAt = half; // the connection closes short of the promised length
            break;
        case Fault::count:
            return;
        }
        sorvo::testing::serve(request, response, std::move(serving));
    }

    std::string package_;
    std::mutex mutex_;
    std::mt19937 random_;
    // Last: it stops serving before the package goes.
    sorvo::testing::LoopbackServer server_;
};
// The last event of one transfer, Finished or Failed.
class EndWaiter {
  public:
    void attach(download::DownloadSettings& settings) {
        settings.eventHook = [this](const download::Event& event) {
            if (event.kind != download::Finished && event.kind != download::Failed) return;
            std::lock_guard lock(mutex_);
            ++ends_;
            kind_ = event.kind;
            bytes_ = event.bytes;
            changed_.notify_all();
        };
    }
    // The end's kind and byte count, or nothing when none came in time.
    std::optional<std::pair<int32_t, int64_t>> wait() {
        std::unique_lock lock(mutex_);
        if (!changed_.wait_for(lock, 30s, [this] { return ends_ > 0; })) return std::nullopt;
        return std::pair{kind_, bytes_};
    }
    int ends() {
        std::lock_guard lock(mutex_);
        return ends_;
    }

  private:
    std::mutex mutex_;
    std::condition_variable changed_;
    int ends_ = 0;
    int32_t kind_ = 0;
    int64_t bytes_ = 0;
};

QByteArray fileContents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

const design::WindowDesign& ownerDesign() {
    static const design::WindowDesign design{.name = QStringLiteral("Owner"),
                                             .title = QStringLiteral("owner"),
                                             .size = {400, 300},
                                             .storedPosition = {40, 60},
                                             .background = QColor(40, 40, 90)};
    return design;
}

void settle() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

} // namespace

class SoakTest : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() {
        // The upgrade page goes to a closed loopback port; nothing leaves the machine.
        hosts().site = QStringLiteral("127.0.0.1:9");
        hosts().download = QStringLiteral("127.0.0.1:9");
    }

    // Every transfer ends once; Finished always means the whole package byte for byte at the
    // target, Failed means nothing there; no worker thread or socket outlives its transfer.
    void downloadsAgainstAFaultyServerEndCleanly() {
        FaultyServer server(20261208);
        QTemporaryDir folder;
        QVERIFY(folder.isValid());
        long threadsBefore = 0, filesBefore = 0;
        int finished = 0, failed = 0;
        download::Downloader downloader;
        for (int i = 0; i < 200; ++i) {
            // The server's thread pool and the component's process-wide set-up come up with
            // the first download: count from there.
            if (i == 1) {
                threadsBefore = entriesIn("/proc/self/task");
                filesBefore = descriptorsOutside(server.port());
            }
            const QString path = folder.filePath(QStringLiteral("package-%1.exe").arg(i));
            download::DownloadSettings settings;
            settings.writeBufferSize = 4096;
            settings.url = server.url();
            settings.path = path.toStdString();
            settings.speedValue = 200;
            settings.maxRetries = 2;
            settings.connectTimeoutMs = 1000;
            settings.noDataTimeoutMs = FaultyServer::stallMs / 2;
            settings.retryWindowMs = 2000;
            settings.retryDelayMs = 5;
            settings.allowUnsigned = true;
            EndWaiter end;
            end.attach(settings);
            download::startDownload(downloader, settings);
            const auto outcome = end.wait();
            QVERIFY2(outcome, qPrintable(QStringLiteral("download %1 never ended").arg(i)));
            download::release(downloader);
            QCOMPARE(end.ends(), 1);
            const auto [kind, bytes] = *outcome;
            if (kind == download::Finished) {
                ++finished;
                QCOMPARE(bytes, static_cast<int64_t>(server.package().size()));
                QVERIFY2(fileContents(path) == QByteArray::fromStdString(server.package()),
                         qPrintable(QStringLiteral("download %1 is not the package").arg(i)));
                QFile::remove(path);
            } else {
                QCOMPARE(kind, static_cast<int32_t>(download::Failed));
                ++failed;
                QVERIFY2(!QFile::exists(path), qPrintable(path));
            }
        }
        qInfo("%d downloads finished, %d failed", finished, failed);
        // A seed that made every download end the same way would test half of the rules.
        QVERIFY(finished > 0 && failed > 0);
        // A released transfer's worker ends on its own shortly after its last event.
        QTRY_COMPARE_WITH_TIMEOUT(entriesIn("/proc/self/task"), threadsBefore, 5000);
        QTRY_COMPARE_WITH_TIMEOUT(descriptorsOutside(server.port()), filesBefore, 5000);
    }

    // After a warm-up that fills the caches (pictures, fonts, styles), opening and destroying
    // windows again must not keep memory: a leaked dialog or update window (widgets, decoded
    // pictures, a browser page) costs hundreds of KiB, so 450 leaked cycles would exceed the
    // 30 MiB allowed for heap fragmentation and the allocator's own growth many times over.
    void windowsOpenedAndDestroyedRepeatedlyKeepNoMemory() {
        auto* owner = new ui::SkinWindow(ownerDesign());
        owner->showModeless();
        QVERIFY(QTest::qWaitForWindowExposed(owner));

        const std::vector<std::function<void()>> openings{
            [owner] { closeOnceShown(ui::openAboutWindow(*owner)); },
            [owner] { closeOnceShown(ui::openVersionWindow(*owner)); },
            [owner] { closeOnceShown(ui::openQuitConfirmWindow(*owner)); },
            [] {
                QPointer<update::UpdateWindow> window = &programUpdates().open();
                QVERIFY(window && window->isVisible());
                window->close();
                settle();
                QVERIFY(!window);
            },
        };
        constexpr int warmUp = 50, cycles = 500;
        long afterWarmUp = 0;
        for (int cycle = 0; cycle < cycles; ++cycle) {
            if (cycle == warmUp) afterWarmUp = residentKiB();
            for (const auto& open : openings) {
                open();
                settle();
                if (QTest::currentTestFailed()) return;
            }
            QVERIFY(!QApplication::activeModalWidget());
        }
        const long growthKiB = residentKiB() - afterWarmUp;
        qInfo("resident memory after the warm-up %ld KiB, growth over %d cycles %ld KiB",
              afterWarmUp, cycles - warmUp, growthKiB);
        QVERIFY2(growthKiB < 30 * 1024, qPrintable(QString::number(growthKiB)));

        owner->close();
        settle();
    }
};

SORVO_GUI_TEST_MAIN(SoakTest)

#include "test_soak.moc"

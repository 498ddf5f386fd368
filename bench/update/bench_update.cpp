// The update window under load, driven in-process the way a listener drives it:
//  - how long the UI thread's event loop goes unanswered while the package downloads at full
//    speed ("超速更新"), from the press of the start button until the package has arrived, been
//    checked and handed to the desktop and the window is gone, against an idle stretch of the
//    same length just before (three rounds after a warm-up), and while the download component
//    downloads alone, with no window to repaint;
//  - for each capped entry of the speed list, the rate at which the package grows on disk after
//    a warm-up, against the entry's cap.
// The package comes from a loopback server in a child process. The window stores it in the
// download folder of a private home and the desktop's file opener is replaced, so the package
// is noted, never started. Starts its own private desktop when DISPLAY is unset.
//
//   bench-update [MiB] [rate-window-seconds]     defaults: 256 MiB, 4 s (after a 1 s warm-up)

#include "config/hosts.h"
#include "download/download_settings.h"
#include "download/downloader.h"
#include "download/rate_cap.h"
#include "package_server.h"
#include "private_desktop.h"
#include "stall_meter.h"
#include "support/gui_test_main.h"
#include "support/opened_files.h"
#include "support/update_desk.h"
#include "ui/framework/graphic_button.h"
#include "ui/framework/program.h"
#include "ui/framework/web_browser.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using namespace sorvo;
using update::UpdateWindow;
using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

const QString fullSpeedEntry = QStringLiteral("超速更新");
constexpr double warmUpSeconds = 1.0;
constexpr int pageLoadTimeoutMs = 30000;
constexpr int settleMs = 500;
constexpr int downloadTimeoutMs = 300000;
constexpr int sampleEveryMs = 20;
constexpr double stallGoalMs = 20;
constexpr int stallRounds = 3;
constexpr double rateTolerancePercent = 10;

// The desktop's file opener, replaced: a finished package is noted, with the moment, not started.
struct PackageOpener {
    PackageOpener() {
        files.observe = [this] {
            lastOpenedAt = Clock::now();
            return QString();
        };
    }
    PackageOpener(const PackageOpener&) = delete;
    PackageOpener& operator=(const PackageOpener&) = delete;

    int opened() const { return static_cast<int>(files.paths.size()); }
    QString lastPath() const { return files.paths.last(); }

    OpenedFiles files;
    Clock::time_point lastOpenedAt;
};

double msSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Runs the event loop until `done` holds or timeoutMs have passed; says whether it holds.
bool runUntil(const std::function<bool()>& done, int timeoutMs) {
    if (done()) return true;
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (done() || Clock::now() >= deadline) loop.quit();
    });
    poll.start(5);
    loop.exec();
    return done();
}

void runFor(int ms) {
    runUntil([] { return false; }, ms);
}

// A home of its own under `root`, with a download folder, so that nothing the window or the
// browser engine stores lands in the real one.
void makePrivateHome(const fs::path& root) {
    const fs::path home = root / "home";
    const fs::path config = home / ".config";
    const fs::path downloads = home / "Downloads";
    fs::create_directories(config);
    fs::create_directories(downloads);
    std::ofstream(config / "user-dirs.dirs")
        << "XDG_DOWNLOAD_DIR=\"" << downloads.string() << "\"\n";
    setenv("HOME", home.c_str(), 1);
    setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    setenv("XDG_DATA_HOME", (home / ".local/share").c_str(), 1);
    setenv("XDG_CACHE_HOME", (home / ".cache").c_str(), 1);
}

// Opens a fresh update window and lets its release notes page load and the window settle.
QPointer<UpdateWindow> openSettledWindow() {
    QPointer<UpdateWindow> window = &programUpdates().open();
    if (!window) return window;
    QObject pageWatch;
    bool loaded = false;
    QObject::connect(window->control<ui::WebBrowser>(QStringLiteral("超文本浏览框1")),
                     &ui::WebBrowser::loadFinished, &pageWatch, [&] { loaded = true; });
    if (!runUntil([&] { return loaded; }, pageLoadTimeoutMs))
        std::printf("  (the release notes page did not load; going on without it)\n");
    runFor(settleMs);
    return window;
}

QComboBox& speedList(UpdateWindow& window) {
    return *window.control<QComboBox>(QStringLiteral("组合框"));
}

void pressStart(UpdateWindow& window, int speedEntry) {
    speedList(window).setCurrentIndex(speedEntry);
    window.control<ui::GraphicButton>(QStringLiteral("按钮1"))->click();
}

QString packagePath() {
    return programUpdates().controller.packagePath();
}

QString partPath() {
    return packagePath() + QStringLiteral(".part");
}

void removePackage() {
    QFile::remove(packagePath());
    QFile::remove(partPath());
}

void closeWindow(QPointer<UpdateWindow>& window) {
    if (window) window->close();
    runUntil([&] { return window.isNull(); }, 5000);
}

struct FullSpeedRun {
    bool complete = false;
    double seconds = 0;
    StallMeter::Figures stalls;
    StallMeter::Figures idle;
    double openedAtMs = 0; // since the press: the package handed to the desktop
    double goneAtMs = 0;   // since the press: the window deleted
};

// Downloads the whole package at full speed. With an idle stretch of `idleMs` first, both it and
// the download are measured by `meter`.
std::optional<FullSpeedRun> downloadAtFullSpeed(const PackageServer& server, PackageOpener& opener,
                                                StallMeter& meter, int idleMs) {
    QPointer<UpdateWindow> window = openSettledWindow();
    if (!window) return std::nullopt;
    removePackage();
    const int entry = speedList(*window).findText(fullSpeedEntry);
    if (entry < 0) return std::nullopt;

    FullSpeedRun run;
    if (idleMs > 0) {
        meter.start();
        runFor(idleMs);
        run.idle = meter.stop();
    }
    const int openedBefore = opener.opened();
    meter.start();
    const Clock::time_point pressed = meter.started();
    pressStart(*window, entry);
    runUntil([&] { return opener.opened() > openedBefore && window.isNull(); }, downloadTimeoutMs);
    run.stalls = meter.stop();
    run.seconds = msSince(pressed) / 1000;
    if (opener.opened() == openedBefore) {
        closeWindow(window);
        return run;
    }
    run.openedAtMs =
        std::chrono::duration<double, std::milli>(opener.lastOpenedAt - pressed).count();
    run.goneAtMs = run.stalls.spanMs;
    run.complete = opener.opened() == openedBefore + 1 && opener.lastPath() == packagePath() &&
                   server.isPackage(QFile::encodeName(packagePath()).toStdString());
    closeWindow(window);
    return run;
}

// The same download through the component alone, set up as the window last set it up but with
// no window to repaint: what the machine under this load does to the UI thread by itself.
std::optional<StallMeter::Figures> downloadWithoutWindow(const PackageServer& server,
                                                         StallMeter& meter) {
    const QString path = QFileInfo(packagePath()).dir().filePath(QStringLiteral("alone.exe"));
    std::atomic<int> ending{0};
    download::DownloadSettings settings = programUpdates().controller.settings();
    settings.path = QFile::encodeName(path).toStdString();
    settings.eventHook = [&](const download::Event& event) {
        if (event.kind == download::Finished || event.kind == download::Failed) ending = event.kind;
    };
    settings.messageHook = {};
    download::Downloader downloader;
    meter.start();
    download::startDownload(downloader, settings);
    runUntil([&] { return ending != 0; }, downloadTimeoutMs);
    StallMeter::Figures figures = meter.stop();
    download::release(downloader);
    const bool complete = ending == download::Finished && server.isPackage(settings.path);
    QFile::remove(path);
    if (!complete) return std::nullopt;
    return figures;
}

struct Sample {
    double seconds;
    double bytes;
};

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Least-squares slope of bytes over time: bytes per second.
double slope(const std::vector<Sample>& samples) {
    const auto n = static_cast<double>(samples.size());
    double t = 0, b = 0;
    for (const Sample& s : samples) {
        t += s.seconds;
        b += s.bytes;
    }
    const double meanT = t / n, meanB = b / n;
    double covariance = 0, variance = 0;
    for (const Sample& s : samples) {
        covariance += (s.seconds - meanT) * (s.bytes - meanB);
        variance += (s.seconds - meanT) * (s.seconds - meanT);
    }
    return variance > 0 ? covariance / variance : 0;
}

struct RateRun {
    QString name;
    int speedValue = 0;
    double capBytes = 0;
    double onDiskBytes = 0;    // per second, the growing part file
    double componentBytes = 0; // per second, the component's count of bytes received
    bool partLeftBehind = false;
};

// The download component's cap for a speed entry's value, in bytes per second; 0: uncapped.
std::int64_t capFor(int speedValue) {
    download::DownloadSettings settings;
    settings.speedValue = speedValue;
    return download::rateCapFor(settings).bytesPerSecond;
}

// Starts a capped download, measures it over `windowSeconds` after the warm-up, then stops it.
std::optional<RateRun> measureCappedEntry(int entry, double windowSeconds, PackageOpener& opener) {
    QPointer<UpdateWindow> window = openSettledWindow();
    if (!window) return std::nullopt;
    removePackage();
    RateRun run;
    run.name = speedList(*window).itemText(entry);
    run.speedValue = speedList(*window).itemData(entry).toInt();
    run.capBytes = static_cast<double>(capFor(run.speedValue));

    const int openedBefore = opener.opened();
    std::vector<Sample> onDisk, received;
    const Clock::time_point pressed = Clock::now();
    pressStart(*window, entry);
    QTimer sampler;
    QObject::connect(&sampler, &QTimer::timeout, [&] {
        const double at = msSince(pressed) / 1000;
        if (at < warmUpSeconds) return;
        const QFileInfo part(partPath());
        onDisk.push_back({at, part.exists() ? static_cast<double>(part.size()) : 0});
        received.push_back({at, static_cast<double>(programUpdates().controller.bytesDone())});
    });
    sampler.start(sampleEveryMs);
    runFor(static_cast<int>((warmUpSeconds + windowSeconds) * 1000));
    sampler.stop();

    programUpdates().controller.cancel();
    closeWindow(window);
    run.partLeftBehind = QFile::exists(partPath());
    removePackage();
    if (opener.opened() != openedBefore || onDisk.size() < 2) return std::nullopt;
    run.onDiskBytes = slope(onDisk);
    run.componentBytes = slope(received);
    if (run.onDiskBytes <= 0) return std::nullopt;
    return run;
}

void printGaps(const char* what, const StallMeter::Figures& figures) {
    std::printf("  %s over %.0f ms: longest gap %.1f ms, 99th percentile %.2f ms; the longest:",
                what, figures.spanMs, figures.longestMs, figures.p99Ms);
    for (const StallMeter::Gap& gap : figures.longest)
        std::printf("\n    %.1f ms ending %.0f ms in: %.1f ms running, %.1f ms waiting for a CPU, "
                    "%.1f ms asleep",
                    gap.ms, gap.endsAtMs, gap.runningMs, gap.waitingForCpuMs,
                    gap.ms - gap.runningMs - gap.waitingForCpuMs);
    std::printf("\n");
}

// "−0.3 %", "+1.2 %" or "0.0 %", with a real minus sign.
std::string signedPercent(double percent) {
    const double tenths = std::round(percent * 10) / 10;
    const char* sign = tenths < 0 ? "\u2212" : tenths > 0 ? "+" : "";
    char text[32];
    std::snprintf(text, sizeof text, "%s%.1f %%", sign, std::fabs(tenths));
    return text;
}

std::string rateRow(const RateRun& run) {
    const double percent = 100 * (run.onDiskBytes / run.capBytes - 1);
    char row[256];
    std::snprintf(row, sizeof row,
                  "| %s (%d): measured rate vs cap %.0f KiB/s | %.0f KiB/s (%s) | ±%.0f %% |",
                  run.name.toUtf8().constData(), run.speedValue, run.capBytes / 1024,
                  run.onDiskBytes / 1024, signedPercent(percent).c_str(), rateTolerancePercent);
    return row;
}

// The rounds and the table, with the application up and the update state created.
int measure(const PackageServer& server, double windowSeconds) {
    PackageOpener opener;
    StallMeter meter;
    const double mib = static_cast<double>(server.packageSize()) / (1 << 20);

    std::printf("full speed, a first round to warm up and to learn how long a download takes\n");
    const std::optional<FullSpeedRun> warmUp = downloadAtFullSpeed(server, opener, meter, 0);
    if (!warmUp || !warmUp->complete) {
        std::fprintf(stderr, "the warm-up download %s\n",
                     warmUp ? "did not arrive complete" : "found no update window");
        return 1;
    }
    std::printf("  %.0f MiB in %.2f s (%.0f MiB/s)\n", mib, warmUp->seconds, mib / warmUp->seconds);
    printGaps("UI timer", warmUp->stalls);

    const int idleMs = std::max(1000, static_cast<int>(warmUp->seconds * 1000));
    std::printf("full speed, measured: %d ms idle with the window open, then the download\n",
                idleMs);
    std::vector<double> stalls, idleStalls, p99s, idleP99s;
    for (int round = 1; round <= stallRounds; ++round) {
        const std::optional<FullSpeedRun> full = downloadAtFullSpeed(server, opener, meter, idleMs);
        if (!full || !full->complete) {
            std::fprintf(stderr, "measured download %d %s\n", round,
                         full ? "did not arrive complete" : "found no update window");
            return 1;
        }
        std::printf("round %d: %.0f MiB in %.2f s (%.0f MiB/s); package handed to the desktop "
                    "%.0f ms after the press, window gone at %.0f ms; checked byte for byte\n",
                    round, mib, full->seconds, mib / full->seconds, full->openedAtMs,
                    full->goneAtMs);
        printGaps("idle", full->idle);
        printGaps("download", full->stalls);
        stalls.push_back(full->stalls.longestMs);
        idleStalls.push_back(full->idle.longestMs);
        p99s.push_back(full->stalls.p99Ms);
        idleP99s.push_back(full->idle.p99Ms);
    }
    std::printf("full speed through the download component alone, no window\n");
    const std::optional<StallMeter::Figures> alone = downloadWithoutWindow(server, meter);
    if (!alone) {
        std::fprintf(stderr, "the download without the window did not arrive complete\n");
        return 1;
    }
    printGaps("download", *alone);

    std::vector<RateRun> rates;
    QPointer<UpdateWindow> probe = openSettledWindow();
    if (!probe) {
        std::fprintf(stderr, "no update window\n");
        return 1;
    }
    std::vector<int> cappedEntries;
    for (int entry = 0; entry < speedList(*probe).count(); ++entry) {
        const int value = speedList(*probe).itemData(entry).toInt();
        if (capFor(value) > 0) cappedEntries.push_back(entry);
    }
    closeWindow(probe);
    for (const int entry : cappedEntries) {
        const std::optional<RateRun> run = measureCappedEntry(entry, windowSeconds, opener);
        if (!run) {
            std::fprintf(stderr,
                         "speed entry %d: the package did not grow, or the download "
                         "ended early\n",
                         entry);
            return 1;
        }
        std::printf("%s (%d): %.1f KiB/s on disk, %.1f KiB/s received by the component, cap %.0f "
                    "KiB/s, over %.0f s after %.0f s%s\n",
                    run->name.toUtf8().constData(), run->speedValue, run->onDiskBytes / 1024,
                    run->componentBytes / 1024, run->capBytes / 1024, windowSeconds, warmUpSeconds,
                    run->partLeftBehind ? "; the stopped download left its .part file behind" : "");
        rates.push_back(*run);
    }

    std::printf("\n| figure | value | goal |\n|---|---|---|\n");
    std::printf("| longest UI stall during a full-speed download, median of %d (idle baseline) | "
                "%.1f ms (%.1f ms) | < %.0f ms |\n",
                stallRounds, median(stalls), median(idleStalls), stallGoalMs);
    std::printf("| the worst of those %d (idle baseline) | %.1f ms (%.1f ms) | < %.0f ms |\n",
                stallRounds, *std::max_element(stalls.begin(), stalls.end()),
                *std::max_element(idleStalls.begin(), idleStalls.end()), stallGoalMs);
    std::printf("| 99th percentile of the 1 ms UI timer's gaps during the download, median (idle "
                "baseline) | %.2f ms (%.2f ms) | — |\n",
                median(p99s), median(idleP99s));
    std::printf("| longest UI stall while the download component alone downloads, no window | "
                "%.1f ms | — |\n",
                alone->longestMs);
    for (const RateRun& run : rates)
        std::printf("%s\n", rateRow(run).c_str());
    return 0;
}

int runOnDesktop(int& argc, char** argv, const PackageServer& server, double windowSeconds) {
    ui::program::prepareProcess();
    QApplication application(argc, argv);
    ui::program::configureApplication();
    const KnownTrayHosts trayHosts;
    hosts().site = QString::fromStdString(server.host());
    hosts().download = hosts().site;
    const int status = measure(server, windowSeconds);
    programUpdates().controller.cancel();
    return status;
}

} // namespace

int main(int argc, char* argv[]) {
    const std::size_t mib = argc > 1 ? std::max(1ul, std::strtoul(argv[1], nullptr, 10)) : 256;
    const double windowSeconds = argc > 2 ? std::max(1.0, std::atof(argv[2])) : 4.0;

    char rootTemplate[] = "/tmp/sorvo-bench-update-XXXXXX";
    if (!mkdtemp(rootTemplate)) return 1;
    const fs::path root = rootTemplate;
    makePrivateHome(root);
    int status = 1;
    {
        PackageServer server(mib << 20);
        PrivateDesktop desktop((root / "desktop").string());
        if (std::getenv("DISPLAY") == nullptr && !desktop.start()) {
            std::fprintf(stderr, "could not start a desktop\n");
        } else {
            status = runOnDesktop(argc, argv, server, windowSeconds);
        }
    }
    fs::remove_all(root);
    return status;
}

// Downloads one large package over loopback with the download component (uncapped, settings as
// the update window fills them) and with `curl -o`, and prints both throughputs, their ratio and
// the CPU time each spends per MiB. The component reports Finished only once the package is
// synced to disk, which `curl -o` never waits for; so curl is also timed with an fsync of its
// file added, the same promise. The component also downloads the package with a public key, so
// that it checks the package against its signature: what that adds per MiB, and as a share of
// the download time, is the cost of the check. And how long release and a Downloader's end take
// with a download running. The server runs in a child process so that this process's CPU time
// is the component's own.
//
//   bench-download [MiB] [rounds]      defaults: 256 MiB, 3 rounds

#include "download/downloader.h"
#include "support/loopback_server.h"
#include "support/package_signer.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <memory>
#include <mutex>
#include <random>
#include <signal.h>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

namespace dl = sorvo::download;
using Clock = std::chrono::steady_clock;

constexpr double mebibyte = 1024.0 * 1024.0;

struct Run {
    double seconds = 0;
    double cpuSeconds = 0;
    bool complete = false;
    double syncSeconds = 0; // curl only: the fsync of its file afterwards
};

double cpuSeconds(const rusage& usage) {
    const auto seconds = [](const timeval& t) {
        return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
    };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// Serves size bytes at /pkg.exe and their signature by signer at /pkg.exe.minisig on 127.0.0.1
// from a child process; returns its pid and port.
std::pair<pid_t, int> startServer(std::size_t size,
                                  const sorvo::download::testing::PackageSigner& signer) {
    int pipeFds[2];
    if (pipe(pipeFds) != 0) std::exit(1);
    const pid_t pid = fork();
    if (pid == 0) {
        close(pipeFds[0]);
        std::string package(size, '\0');
        std::mt19937_64 random(7);
        for (std::size_t i = 0; i + 8 <= size; i += 8) {
            const uint64_t word = random();
            std::memcpy(package.data() + i, &word, 8);
        }
        const std::string signature = signer.sign(package).text();
        const sorvo::testing::LoopbackServer server([&](httplib::Server& routes) {
            routes.Get("/pkg.exe.minisig", [&](const httplib::Request&, httplib::Response& res) {
                res.set_content(signature, "text/plain");
            });
            routes.Get("/pkg.exe", [&](const httplib::Request&, httplib::Response& res) {
                res.set_content_provider(
                    package.size(), "application/octet-stream",
                    [&](std::size_t offset, std::size_t length, httplib::DataSink& sink) {
                        return sink.write(package.data() + offset,
                                          std::min<std::size_t>(length, 1 << 20));
                    });
            });
        });
        const int port = server.port();
        if (write(pipeFds[1], &port, sizeof port) != sizeof port) _exit(1);
        close(pipeFds[1]);
        // Serves on its own thread until the parent's SIGTERM ends the process.
        while (true)
            pause();
    }
    close(pipeFds[1]);
    int port = 0;
    if (read(pipeFds[0], &port, sizeof port) != sizeof port) std::exit(1);
    close(pipeFds[0]);
    return {pid, port};
}

// Without a key the package is not checked.
Run withComponent(const std::string& url, const std::string& path, std::size_t size,
                  const std::string& publicKey = {}) {
    std::mutex mutex;
    std::condition_variable ended;
    int endKind = 0;
    dl::DownloadSettings settings;
    settings.writeBufferSize = 4096;
    settings.url = url;
    settings.path = path;
    settings.publicKey = publicKey;
    settings.allowUnsigned = publicKey.empty();
    settings.packageName = "pkg.exe";
    settings.currentVersion = "1.0";
    settings.speedValue = 200;
    settings.maxRetries = 0;
    settings.eventHook = [&](const dl::Event& event) {
        if (event.kind == dl::Finished || event.kind == dl::Failed) {
            std::lock_guard lock(mutex);
            endKind = event.kind;
            ended.notify_all();
        }
    };
    settings.messageHook = [](int32_t, const std::string& text, const std::string&, int32_t,
                              int32_t) { std::fprintf(stderr, "component: %s\n", text.c_str()); };

    dl::Downloader downloader;
    rusage before{}, after{};
    getrusage(RUSAGE_SELF, &before);
    const auto start = Clock::now();
    dl::startDownload(downloader, settings);
    {
        std::unique_lock lock(mutex);
        ended.wait(lock, [&] { return endKind != 0; });
    }
    const auto stop = Clock::now();
    dl::release(downloader);
    getrusage(RUSAGE_SELF, &after);
    return {std::chrono::duration<double>(stop - start).count(),
            cpuSeconds(after) - cpuSeconds(before),
            endKind == dl::Finished && std::filesystem::file_size(path) == size};
}

Run withCurl(const std::string& url, const std::string& path, std::size_t size) {
    std::vector<std::string> args = {"curl", "-s", "-S", "-o", path, url};
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    const auto start = Clock::now();
    pid_t pid = 0;
    if (posix_spawnp(&pid, "curl", nullptr, nullptr, argv.data(), environ) != 0) return {};
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    const auto stop = Clock::now();
    const int fd = open(path.c_str(), O_WRONLY);
    fsync(fd);
    close(fd);
    const auto synced = Clock::now();
    return {std::chrono::duration<double>(stop - start).count(), cpuSeconds(usage),
            WIFEXITED(status) && WEXITSTATUS(status) == 0 &&
                std::filesystem::file_size(path) == size,
            std::chrono::duration<double>(synced - stop).count()};
}

struct StopTimes {
    double releaseMs = 0;
    double endMs = 0; // the Downloader's end, which joins its worker
};

// Starts a download at the lowest cap and times how long release takes once bytes flow, then
// the same for the end of a Downloader.
StopTimes timeStops(const std::string& url, const std::string& path) {
    dl::DownloadSettings settings;
    settings.url = url;
    settings.path = path;
    settings.allowUnsigned = true;
    settings.packageName = "pkg.exe";
    settings.currentVersion = "1.0";
    settings.speedValue = 6;
    const auto flowing = [](const dl::Downloader& downloader) {
        while (dl::bytesDone(downloader) == 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    };
    const auto msSince = [](Clock::time_point start) {
        return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    };
    StopTimes times;
    {
        dl::Downloader downloader;
        dl::startDownload(downloader, settings);
        flowing(downloader);
        const auto start = Clock::now();
        dl::release(downloader);
        times.releaseMs = msSince(start);
    }
    auto downloader = std::make_unique<dl::Downloader>();
    dl::startDownload(*downloader, settings);
    flowing(*downloader);
    const auto start = Clock::now();
    downloader.reset();
    times.endMs = msSince(start);
    return times;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    const std::size_t mib = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 256;
    const int rounds = argc > 2 ? std::atoi(argv[2]) : 3;
    const std::size_t size = mib << 20;
    const double sizeMib = static_cast<double>(size) / mebibyte;

    const sorvo::download::testing::PackageSigner signer;
    const auto [server, port] = startServer(size, signer);
    const std::string url = "http://127.0.0.1:" + std::to_string(port) + "/pkg.exe";
    const auto folder =
        std::filesystem::temp_directory_path() / ("sorvo-bench-" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    const std::string componentFile = (folder / "component.exe").string();
    const std::string curlFile = (folder / "curl.exe").string();

    std::printf("package: %zu MiB from a loopback server, %d rounds after a warm-up\n", mib,
                rounds);
    withCurl(url, curlFile, size);
    std::vector<double> componentRates, curlRates, curlSyncedRates, componentCpu, curlCpu;
    std::vector<double> checkShares, checkCpu, checkWall, releaseMs, endMs;
    bool allComplete = true;
    for (int round = 1; round <= rounds; ++round) {
        std::filesystem::remove(componentFile);
        std::filesystem::remove(curlFile);
        const Run component = withComponent(url, componentFile, size);
        std::filesystem::remove(componentFile);
        const Run checked = withComponent(url, componentFile, size, signer.publicKeyLine());
        const Run curl = withCurl(url, curlFile, size);
        const StopTimes stops = timeStops(url, componentFile);
        releaseMs.push_back(stops.releaseMs);
        endMs.push_back(stops.endMs);
        allComplete = allComplete && component.complete && checked.complete && curl.complete;
        checkShares.push_back((checked.seconds - component.seconds) / component.seconds * 100.0);
        checkCpu.push_back((checked.cpuSeconds - component.cpuSeconds) * 1000.0 / sizeMib);
        checkWall.push_back((checked.seconds - component.seconds) * 1000.0 / sizeMib);
        componentRates.push_back(sizeMib / component.seconds);
        curlRates.push_back(sizeMib / curl.seconds);
        curlSyncedRates.push_back(sizeMib / (curl.seconds + curl.syncSeconds));
        componentCpu.push_back(component.cpuSeconds * 1000.0 / sizeMib);
        curlCpu.push_back(curl.cpuSeconds * 1000.0 / sizeMib);
        std::printf("round %d: component %6.1f MiB/s (%.3f ms CPU/MiB)  curl -o %6.1f MiB/s "
                    "(%.3f ms CPU/MiB), with fsync %6.1f MiB/s\n",
                    round, componentRates.back(), componentCpu.back(), curlRates.back(),
                    curlCpu.back(), curlSyncedRates.back());
        std::printf("         checked against its signature: %6.1f MiB/s (%.3f ms CPU/MiB), "
                    "%+.1f %% of the time\n",
                    sizeMib / checked.seconds, checked.cpuSeconds * 1000.0 / sizeMib,
                    checkShares.back());
    }
    const double componentRate = median(componentRates);
    const double curlRate = median(curlRates);
    const double curlSyncedRate = median(curlSyncedRates);
    std::printf("\n| figure (median of %d) | value | goal |\n|---|---|---|\n", rounds);
    std::printf(
        "| download of a %zu MiB package at full speed: component | %.1f MiB/s, %.3f ms CPU "
        "per MiB | — |\n",
        mib, componentRate, median(componentCpu));
    std::printf("| the same with `curl -o` | %.1f MiB/s, %.3f ms CPU per MiB | — |\n", curlRate,
                median(curlCpu));
    std::printf(
        "| the same with `curl -o` and an fsync, as the component does | %.1f MiB/s | — |\n",
        curlSyncedRate);
    std::printf("| component / `curl -o` | %.3f | ≥ 0.95 |\n", componentRate / curlRate);
    std::printf("| component / (`curl -o` + fsync) | %.3f | — |\n", componentRate / curlSyncedRate);
    std::printf("| the package's check against its signature: cost per MiB | %.3f ms CPU, %.3f ms "
                "of time | — |\n",
                median(checkCpu), median(checkWall));
    std::printf(
        "| the check's share of the download time of the %zu MiB package | %.1f %% | < 5 %% "
        "|\n",
        mib, median(checkShares));
    std::printf("| release of a running download, until it returns | %.2f ms | < 100 ms |\n",
                median(releaseMs));
    std::printf("| a Downloader's end with its download running, worker joined | %.2f ms | "
                "< 100 ms |\n",
                median(endMs));
    if (!allComplete) std::printf("WARNING: a download did not arrive complete\n");

    std::filesystem::remove_all(folder);
    kill(server, SIGTERM);
    waitpid(server, nullptr, 0);
    return allComplete ? 0 : 1;
}

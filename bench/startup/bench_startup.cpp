// Start-up figures of the client, measured from outside on an X display: time from exec to the
// splash on screen, to the main window on screen, the memory (PSS) of the whole process tree
// once the radio page has loaded, and the CPU the tree spends idle after that. Each run then
// shows the same loopback page in Debian's chromium as an app window and takes the same two
// footprint figures, for comparison. Starts its own private desktop when DISPLAY is unset.
//
// bench-startup [runs [idle-seconds]]: 3 runs and a 60 s idle window unless told.
#include "chromium_app.h"
#include "client_session.h"
#include "process_tree.h"
#include "support/client_child.h"
#include "support/loopback_server.h"
#include "x11_windows.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

struct Footprint {
    double pssMiB = 0;
    double idleCpuPercent = 0;
};

struct Run {
    double splashMs = -1;
    double mainMs = -1;
    Footprint footprint;
};

// Each run's figures; the table shows their medians.
struct RunFigures {
    std::vector<double> splashMs, mainMs, splashUpMs, pssMiB, idleCpuPercent, chromiumPssMiB,
        chromiumIdleCpuPercent;
};

const char radioPage[] = R"(<!doctype html><html><head><meta charset="utf-8"><title>radio</title>
</head><body style="background:#1d1f24;color:#ddd;font-family:sans-serif">
<h1>索沃电台</h1><script>window.addEventListener('load',()=>fetch('/loaded'));</script>
</body></html>)";

double msSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Waits for the page to fetch /loaded, lets the tree settle, then reads its memory and the CPU
// it spends over the idle window. The tree is root's, with the processes marker finds.
Footprint footprintOnceLoaded(const char* who, pid_t root, const std::string& marker,
                              Clock::time_point start, const std::atomic<bool>& pageLoaded,
                              int idleSeconds) {
    while (!pageLoaded && msSince(start) < 30000)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    if (!pageLoaded) std::fprintf(stderr, "%s: the page did not load within 30 s\n", who);
    std::this_thread::sleep_for(std::chrono::seconds(2));
    Footprint footprint;
    footprint.pssMiB = static_cast<double>(processTreePssKiB(root, marker)) / 1024.0;
    const auto before = processTreeCpuTicks(root, marker);
    std::this_thread::sleep_for(std::chrono::seconds(idleSeconds));
    const double cpuSeconds =
        static_cast<double>(cpuTicksBetween(before, processTreeCpuTicks(root, marker))) /
        static_cast<double>(sysconf(_SC_CLK_TCK));
    footprint.idleCpuPercent = 100.0 * cpuSeconds / idleSeconds;
    return footprint;
}

Run measureClient(const char* self, const std::string& host, std::atomic<bool>& pageLoaded,
                  int idleSeconds) {
    pageLoaded = false;
    X11Windows display;
    Run run;
    const auto start = Clock::now();
    const pid_t child = fork();
    if (child == 0) {
        execl(self, self, "--client", host.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    while (msSince(start) < 20000 && (run.splashMs < 0 || run.mainMs < 0)) {
        if (run.splashMs < 0 && display.viewableWindowTitled("索沃电台正在启动中..."))
            run.splashMs = msSince(start);
        if (run.mainMs < 0 && display.viewableWindowTitled("索沃电台")) run.mainMs = msSince(start);
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    run.footprint = footprintOnceLoaded("client", child, {}, start, pageLoaded, idleSeconds);
    kill(child, SIGTERM);
    waitpid(child, nullptr, 0);
    return run;
}

Footprint measureChromium(const std::string& url, std::atomic<bool>& pageLoaded, int idleSeconds) {
    pageLoaded = false;
    const auto start = Clock::now();
    const ChromiumApp chromium(url);
    return footprintOnceLoaded("chromium --app", chromium.pid(), chromium.marker(), start,
                               pageLoaded, idleSeconds);
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

void printTable(const RunFigures& figures, int runs, int idleSeconds) {
    const bool withChromium = !figures.chromiumPssMiB.empty();
    const double pss = median(figures.pssMiB);
    std::printf("\nMedians of %d runs; idle CPU over the %d s after the page loaded.\n\n", runs,
                idleSeconds);
    std::printf("| figure | value | goal |\n|---|---|---|\n");
    std::printf("| exec → splash on screen | %.0f ms | ≤ 250 ms |\n", median(figures.splashMs));
    std::printf("| exec → main window on screen | %.0f ms | — (the splash stays 3 s by design) |\n",
                median(figures.mainMs));
    std::printf("| splash on screen → main window on screen | %.0f ms | 3000 ms (by design) |\n",
                median(figures.splashUpMs));
    std::printf("| PSS of the process tree, radio page loaded: client | %.1f MiB | — |\n", pss);
    if (withChromium) {
        const double chromiumPss = median(figures.chromiumPssMiB);
        std::printf(
            "| PSS of the process tree, radio page loaded: chromium --app | %.1f MiB | — |\n",
            chromiumPss);
        std::printf("| PSS, client / chromium --app | %.2f × | ≤ 0.6 × |\n", pss / chromiumPss);
    }
    std::printf("| idle CPU over the window: client | %.2f %% of a core | ≤ 0.5 %% of a core |\n",
                median(figures.idleCpuPercent));
    if (withChromium)
        std::printf("| idle CPU over the window: chromium --app | %.2f %% of a core | — |\n",
                    median(figures.chromiumIdleCpuPercent));
    else
        std::printf(
            "| chromium --app | not installed (run `scripts/install-deps --bench`) | — |\n");
}

} // namespace

int main(int argc, char* argv[]) {
    if (const auto clientExit = runAsClientChild(argc, argv)) return *clientExit;
    const ClientSession session;
    if (!session.ready()) return 1;

    std::atomic<bool> pageLoaded{false};
    const sorvo::testing::LoopbackServer server([&](httplib::Server& routes) {
        routes.Get("/diantai/sorvo/", [](const httplib::Request&, httplib::Response& response) {
            response.set_content(radioPage, "text/html; charset=utf-8");
        });
        routes.Get("/loaded", [&](const httplib::Request&, httplib::Response& response) {
            pageLoaded = true;
            response.set_content("", "text/plain");
        });
    });

    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    const int idleSeconds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 60;
    const std::string host = server.host();
    const bool withChromium = !ChromiumApp::executable().empty();
    RunFigures figures;
    for (int i = 0; i < runs; ++i) {
        const Run run = measureClient(argv[0], host, pageLoaded, idleSeconds);
        figures.splashMs.push_back(run.splashMs);
        figures.mainMs.push_back(run.mainMs);
        figures.splashUpMs.push_back(run.mainMs - run.splashMs);
        figures.pssMiB.push_back(run.footprint.pssMiB);
        figures.idleCpuPercent.push_back(run.footprint.idleCpuPercent);
        std::printf("run %d: splash %.0f ms, main window %.0f ms, PSS %.1f MiB, idle CPU %.2f %%\n",
                    i + 1, run.splashMs, run.mainMs, run.footprint.pssMiB,
                    run.footprint.idleCpuPercent);
        if (!withChromium) continue;
        const Footprint chromium =
            measureChromium("http://" + host + "/diantai/sorvo/", pageLoaded, idleSeconds);
        figures.chromiumPssMiB.push_back(chromium.pssMiB);
        figures.chromiumIdleCpuPercent.push_back(chromium.idleCpuPercent);
        std::printf("run %d: chromium --app, PSS %.1f MiB, idle CPU %.2f %%\n", i + 1,
                    chromium.pssMiB, chromium.idleCpuPercent);
    }
    std::fflush(stdout);
    printTable(figures, runs, idleSeconds);
    return 0;
}

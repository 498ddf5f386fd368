// Start-up figures of the client, measured from outside on an X display: time from exec to the
// splash on screen, to the main window on screen, the memory (PSS) of the whole process tree
// once the radio page has loaded, and the CPU the tree spends idle after that. Starts its own
// private desktop when DISPLAY is unset.
//
// bench-startup [runs [idle-seconds]]: 3 runs and a 60 s idle window unless told.
#include "app/client.h"
#include "config/hosts.h"
#include "process_tree.h"
#include "x11_windows.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <httplib.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

struct Run {
    double splashMs = -1;
    double mainMs = -1;
    long pssKiB = 0;
    double idleCpuPercent = 0;
};

const char radioPage[] = R"(<!doctype html><html><head><meta charset="utf-8"><title>radio</title>
</head><body style="background:#1d1f24;color:#ddd;font-family:sans-serif">
<h1>索沃电台</h1><script>window.addEventListener('load',()=>fetch('/loaded'));</script>
</body></html>)";

double msSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

std::string startDesktop(const std::string& state) {
    const std::string command = std::string(SORVO_DESKTOP_SESSION) + " start " + state;
    if (std::system(command.c_str()) != 0) return {};
    std::ifstream env(state + "/env");
    std::string line;
    while (std::getline(env, line))
        if (line.rfind("export DISPLAY=", 0) == 0) return line.substr(15);
    return {};
}

Run measureOnce(const char* self, const std::string& host, std::atomic<bool>& pageLoaded,
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
    while (!pageLoaded && msSince(start) < 30000)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    std::this_thread::sleep_for(std::chrono::seconds(2));
    run.pssKiB = processTreePssKiB(child);
    const auto before = processTreeCpuTicks(child);
    std::this_thread::sleep_for(std::chrono::seconds(idleSeconds));
    const double cpuSeconds =
        static_cast<double>(cpuTicksBetween(before, processTreeCpuTicks(child))) /
        static_cast<double>(sysconf(_SC_CLK_TCK));
    run.idleCpuPercent = 100.0 * cpuSeconds / idleSeconds;
    kill(child, SIGTERM);
    waitpid(child, nullptr, 0);
    return run;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc == 3 && std::string(argv[1]) == "--client") {
        sorvo::hosts().site = QString::fromUtf8(argv[2]);
        char* clientArgv[] = {argv[0], nullptr};
        return sorvo::app::runClient(1, clientArgv);
    }
    const std::string state = "/tmp/sorvo-bench-desktop-" + std::to_string(getpid());
    const bool ownDesktop = std::getenv("DISPLAY") == nullptr;
    if (ownDesktop) {
        const std::string display = startDesktop(state);
        if (display.empty()) {
            std::fprintf(stderr, "could not start a desktop\n");
            return 1;
        }
        setenv("DISPLAY", display.c_str(), 1);
    }

    std::atomic<bool> pageLoaded{false};
    httplib::Server server;
    server.Get("/diantai/sorvo/", [](const httplib::Request&, httplib::Response& response) {
        response.set_content(radioPage, "text/html; charset=utf-8");
    });
    server.Get("/loaded", [&](const httplib::Request&, httplib::Response& response) {
        pageLoaded = true;
        response.set_content("", "text/plain");
    });
    const int port = server.bind_to_any_port("127.0.0.1");
    std::thread serving([&] { server.listen_after_bind(); });
    while (!server.is_running())
        std::this_thread::yield();

    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    const int idleSeconds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 60;
    std::vector<double> splash, mainWindow, pss, idleCpu;
    for (int i = 0; i < runs; ++i) {
        const Run run =
            measureOnce(argv[0], "127.0.0.1:" + std::to_string(port), pageLoaded, idleSeconds);
        splash.push_back(run.splashMs);
        mainWindow.push_back(run.mainMs);
        pss.push_back(static_cast<double>(run.pssKiB) / 1024.0);
        idleCpu.push_back(run.idleCpuPercent);
        std::printf("run %d: splash %.0f ms, main window %.0f ms, PSS %.1f MiB, idle CPU %.2f %%\n",
                    i + 1, run.splashMs, run.mainMs, static_cast<double>(run.pssKiB) / 1024.0,
                    run.idleCpuPercent);
    }
    std::printf("\n| figure (median of %d) | value |\n|---|---|\n", runs);
    std::printf("| exec → splash on screen | %.0f ms |\n", median(splash));
    std::printf("| exec → main window on screen | %.0f ms |\n", median(mainWindow));
    std::printf("| PSS of the process tree, radio page loaded | %.1f MiB |\n", median(pss));
    std::printf("| CPU of the process tree idle over %d s after that (of one core) | %.2f %% |\n",
                idleSeconds, median(idleCpu));

    server.stop();
    serving.join();
    if (ownDesktop) std::system((std::string(SORVO_DESKTOP_SESSION) + " stop " + state).c_str());
    return 0;
}

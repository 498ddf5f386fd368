// The client's main job, measured from outside on an X display: the demo service's radio page
// playing, its disc spinning and its bars bouncing.
//  - CPU of the client's whole process tree with its window visible, minimised and hidden in
//    the tray, and of Debian's chromium showing the same page as an app window, visible and
//    minimised. Client and chromium take turns, round after round, so that both meet the same
//    load on the machine; the goal is a ratio within each round.
//  - The same, both visible, on the page with its disc still: what a turning layer costs each.
//  - The memory (PSS) of both trees while they play.
//  - A long run that plays both side by side and samples their memory, to tell a level from a
//    creep.
// Starts its own private desktop when DISPLAY is unset.
//
//   bench-playing [--rounds N] [--seconds S] [--warm-up S] [--long MIN] [--long-warm-up MIN]
//   defaults: 3 rounds, CPU over 20 s after 15 s of playing, a 30 min long run after 5 min of
//   playing; --long 0 leaves the long run out.
#include "browser/render_path.h"
#include "chromium_app.h"
#include "client_session.h"
#include "playing_figures.h"
#include "process_tree.h"
#include "radio_service.h"
#include "support/client_child.h"
#include "x11_windows.h"

#include <QGuiApplication>
#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <optional>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

const std::string windowTitle = "索沃电台";
// After a window changes state, before its CPU is read: the engine hears of it through the
// event loop and stops its frames.
constexpr auto settle = 3s;
constexpr auto startLimit = 60s;
constexpr auto longSampleEvery = 30s;
// Where the chromium window opens beside the client's, which sits at (50, 50) and is 960 × 440.
const std::vector<std::string> chromiumArguments{
    // Like the client's browser: the radio starts without a click.
    "--autoplay-policy=no-user-gesture-required", "--window-size=960,440"};
const std::string chromiumBelowTheClient = "--window-position=50,520";

struct Options {
    int rounds = 3;
    int seconds = 20;
    int warmUpSeconds = 15;
    int longMinutes = 30;
    int longWarmUpMinutes = 5;
};

std::optional<Options> parseOptions(int argc, char* argv[]) {
    Options options;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string name = argv[i];
        const int value = std::atoi(argv[i + 1]);
        if (name == "--rounds" && value > 0)
            options.rounds = value;
        else if (name == "--seconds" && value > 0)
            options.seconds = value;
        else if (name == "--warm-up" && value >= 0)
            options.warmUpSeconds = value;
        else if (name == "--long" && value >= 0)
            options.longMinutes = value;
        else if (name == "--long-warm-up" && value >= 0)
            options.longWarmUpMinutes = value;
        else
            return std::nullopt;
    }
    if (argc % 2 == 0) return std::nullopt;
    return options;
}

bool waitFor(const std::function<bool()>& done, Clock::duration limit) {
    const auto deadline = Clock::now() + limit;
    while (!done()) {
        if (Clock::now() > deadline) return false;
        std::this_thread::sleep_for(50ms);
    }
    return true;
}

std::string loadAverage() {
    std::ifstream file("/proc/loadavg");
    std::string one, five, fifteen;
    file >> one >> five >> fifteen;
    return one + " " + five + " " + fifteen;
}

// The whole client, a child of this bench started as `self --client HOST`, ended with it.
class Client {
  public:
    Client(const char* self, const std::string& host) {
        pid_ = fork();
        if (pid_ == 0) {
            execl(self, self, "--client", host.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
    }
    ~Client() {
        kill(pid_, SIGTERM);
        waitpid(pid_, nullptr, 0);
    }
    Client(const Client&) = delete;
    Client& operator=(const Client&) = delete;

    pid_t pid() const { return pid_; }

  private:
    pid_t pid_ = -1;
};

// A process tree whose window shows the playing radio page.
struct Player {
    const char* who;
    pid_t root;
    std::string marker;
    unsigned window = 0;
};

// Waits for the player's window and for its page to ask for a stream, then lets it play.
bool startsPlaying(Player& player, X11Windows& display, const RadioService& service,
                   int requestsBefore, std::chrono::seconds warmUp) {
    if (!waitFor(
            [&] {
                player.window = display.managedWindowOf(player.root, windowTitle);
                return player.window != 0 && display.isViewable(player.window);
            },
            startLimit)) {
        std::fprintf(stderr, "%s: no window titled %s\n", player.who, windowTitle.c_str());
        return false;
    }
    if (!waitFor([&] { return service.streamRequests() > requestsBefore; }, startLimit)) {
        std::fprintf(stderr, "%s: the page did not start to play\n", player.who);
        return false;
    }
    std::this_thread::sleep_for(warmUp);
    return true;
}

CpuWindow measureCpu(const Player& player, const char* state, int seconds) {
    const CpuWindow window = measureCpuWindow(player.root, player.marker, seconds);
    std::printf("%s, %s: %s\n", player.who, state, describe(window).c_str());
    std::fflush(stdout);
    return window;
}

// Once the player plays and has warmed up, its CPU with the window visible.
std::optional<CpuWindow> visibleWhilePlaying(Player& player, X11Windows& display,
                                             const RadioService& service, int requestsBefore,
                                             const Options& options) {
    if (!startsPlaying(player, display, service, requestsBefore,
                       std::chrono::seconds(options.warmUpSeconds)))
        return std::nullopt;
    return measureCpu(player, "visible", options.seconds);
}

bool minimise(X11Windows& display, const Player& player) {
    display.iconify(player.window);
    return waitFor([&] { return !display.isViewable(player.window); }, 10s);
}

bool restore(X11Windows& display, const Player& player) {
    display.activate(player.window);
    return waitFor([&] { return display.isViewable(player.window); }, 10s);
}

// A double click on the tray icon hides the window, through the display server as a
// listener's would. A click the icon misses is tried again.
bool hideInTray(X11Windows& display, const Player& player) {
    for (int attempt = 0; attempt < 3; ++attempt) {
        const auto icon = display.trayIconOf(player.root);
        if (!icon) return false;
        const std::string click = "xdotool mousemove " + std::to_string(icon->x) + " " +
                                  std::to_string(icon->y) +
                                  " sleep 0.3 click --repeat 2 --delay 60 1";
        if (std::system(click.c_str()) != 0) return false;
        if (waitFor([&] { return !display.isViewable(player.window); }, 3s)) return true;
    }
    return false;
}

std::optional<ClientRound> measureClient(const char* self, const RadioService& service,
                                         const Options& options) {
    X11Windows display;
    const int requestsBefore = service.streamRequests();
    const Client client(self, service.host());
    Player player{"client", client.pid(), {}};
    const auto visible = visibleWhilePlaying(player, display, service, requestsBefore, options);
    if (!visible) return std::nullopt;
    ClientRound round;
    round.visible = *visible;
    round.pssMiB = static_cast<double>(processTreePssKiB(player.root)) / 1024.0;
    if (!minimise(display, player)) return std::nullopt;
    std::this_thread::sleep_for(settle);
    round.minimised = measureCpu(player, "minimised", options.seconds);
    if (!restore(display, player) || !hideInTray(display, player)) {
        std::fprintf(stderr, "client: the window could not be hidden in the tray\n");
        return std::nullopt;
    }
    std::this_thread::sleep_for(settle);
    round.hidden = measureCpu(player, "hidden in the tray", options.seconds);
    return round;
}

std::optional<ChromiumRound> measureChromium(const RadioService& service, const Options& options) {
    X11Windows display;
    const int requestsBefore = service.streamRequests();
    const ChromiumApp chromium(service.radioPage(), chromiumArguments);
    Player player{"chromium --app", chromium.pid(), chromium.marker()};
    const auto visible = visibleWhilePlaying(player, display, service, requestsBefore, options);
    if (!visible) return std::nullopt;
    ChromiumRound round;
    round.visible = *visible;
    round.pssMiB = static_cast<double>(processTreePssKiB(player.root, player.marker)) / 1024.0;
    if (!minimise(display, player)) return std::nullopt;
    std::this_thread::sleep_for(settle);
    round.minimised = measureCpu(player, "minimised", options.seconds);
    return round;
}

// The client, then chromium, on the page whose disc stays still, each visible.
std::optional<StillDiscRound> measureStillDisc(const char* self, const RadioService& service,
                                               const Options& options) {
    X11Windows display;
    std::optional<CpuWindow> client;
    {
        const int requestsBefore = service.streamRequests();
        const Client child(self, service.host());
        Player player{"client, disc still", child.pid(), {}};
        client = visibleWhilePlaying(player, display, service, requestsBefore, options);
    }
    if (!client) return std::nullopt;
    const int requestsBefore = service.streamRequests();
    const ChromiumApp chromium(service.radioPage(), chromiumArguments);
    Player player{"chromium --app, disc still", chromium.pid(), chromium.marker()};
    const auto chromiumWindow =
        visibleWhilePlaying(player, display, service, requestsBefore, options);
    if (!chromiumWindow) return std::nullopt;
    return StillDiscRound{*client, *chromiumWindow};
}

// Both play side by side; after the warm-up, their memory is sampled at a fixed pace.
std::optional<LongRun> measureLongRun(const char* self, const RadioService& service,
                                      const Options& options) {
    X11Windows display;
    int requestsBefore = service.streamRequests();
    const Client client(self, service.host());
    Player clientPlayer{"client", client.pid(), {}};
    if (!startsPlaying(clientPlayer, display, service, requestsBefore, 0s)) return std::nullopt;
    requestsBefore = service.streamRequests();
    auto arguments = chromiumArguments;
    arguments.push_back(chromiumBelowTheClient);
    const ChromiumApp chromium(service.radioPage(), arguments);
    Player chromiumPlayer{"chromium --app", chromium.pid(), chromium.marker()};
    if (!startsPlaying(chromiumPlayer, display, service, requestsBefore, 0s)) return std::nullopt;

    std::this_thread::sleep_for(std::chrono::minutes(options.longWarmUpMinutes));
    LongRun run;
    const auto start = Clock::now();
    const auto end = start + std::chrono::minutes(options.longMinutes);
    for (auto next = start; next <= end; next += longSampleEvery) {
        std::this_thread::sleep_until(next);
        const double minutes = std::chrono::duration<double>(Clock::now() - start).count() / 60;
        PssSample sample{
            minutes, static_cast<double>(processTreePssKiB(clientPlayer.root)) / 1024.0,
            static_cast<double>(processTreePssKiB(chromiumPlayer.root, chromiumPlayer.marker)) /
                1024.0};
        std::printf("long run, %.1f min: PSS client %.1f MiB, chromium --app %.1f MiB\n",
                    sample.minutes, sample.clientMiB, sample.chromiumMiB);
        std::fflush(stdout);
        run.samples.push_back(sample);
    }
    return run;
}

// The OpenGL the application finds on this display, as the client sees it.
std::string openGlRenderer(const char* self) {
    const std::string command = std::string(self) + " --gl-renderer";
    FILE* output = popen(command.c_str(), "r");
    if (!output) return {};
    char line[256] = {};
    const bool read = std::fgets(line, sizeof line, output) != nullptr;
    pclose(output);
    std::string renderer = read ? line : "";
    if (!renderer.empty() && renderer.back() == '\n') renderer.pop_back();
    return renderer;
}

int printOpenGlRenderer(int argc, char* argv[]) {
    sorvo::browser::prepareRenderPath();
    QGuiApplication application(argc, argv);
    std::printf("%s\n", sorvo::browser::sharedOpenGlRenderer().constData());
    return 0;
}

} // namespace

int main(int argc, char* argv[]) {
    if (const auto clientExit = runAsClientChild(argc, argv)) return *clientExit;
    if (argc == 2 && std::string(argv[1]) == "--gl-renderer")
        return printOpenGlRenderer(argc, argv);
    const auto options = parseOptions(argc, argv);
    if (!options) {
        std::fprintf(stderr,
                     "usage: %s [--rounds N] [--seconds S] [--warm-up S] [--long MIN] "
                     "[--long-warm-up MIN]\n",
                     argv[0]);
        return 2;
    }
    const ClientSession session;
    if (!session.ready()) return 1;

    const RadioService service;
    if (service.host().empty()) {
        std::fprintf(stderr, "the demo service did not start\n");
        return 1;
    }
    const bool withChromium = !ChromiumApp::executable().empty();
    if (!withChromium)
        std::fprintf(stderr, "chromium is not installed (scripts/install-deps --bench)\n");
    const RadioService stillDiscService({"--disc", "still"});
    if (stillDiscService.host().empty()) {
        std::fprintf(stderr, "the demo service with a still disc did not start\n");
        return 1;
    }

    PlayingFigures figures;
    figures.renderer = openGlRenderer(argv[0]);
    figures.loadBefore = loadAverage();
    for (int i = 0; i < options->rounds; ++i) {
        std::printf("round %d, load average %s\n", i + 1, loadAverage().c_str());
        const auto client = measureClient(argv[0], service, *options);
        if (!client) return 1;
        figures.client.push_back(*client);
        if (!withChromium) continue;
        const auto chromium = measureChromium(service, *options);
        if (!chromium) return 1;
        figures.chromium.push_back(*chromium);
        const auto stillDisc = measureStillDisc(argv[0], stillDiscService, *options);
        if (!stillDisc) return 1;
        figures.stillDisc.push_back(*stillDisc);
    }
    figures.loadAfter = loadAverage();
    if (withChromium && options->longMinutes > 0) {
        std::printf("long run: %d min of playing, then %d min sampled every %lld s\n",
                    options->longWarmUpMinutes, options->longMinutes,
                    static_cast<long long>(longSampleEvery.count()));
        figures.longRun = measureLongRun(argv[0], service, *options);
    }
    std::printf("\n%s", figuresTable(figures, options->seconds, options->warmUpSeconds,
                                     options->longMinutes, options->longWarmUpMinutes)
                            .c_str());

    return 0;
}

#include "playing_figures.h"

#include "browser/render_path.h"
#include "process_tree.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <map>
#include <thread>
#include <unistd.h>

namespace {

constexpr std::size_t threadsShown = 6;
constexpr double visibleGoal = 1.0;     // × chromium --app
constexpr double unseenGoalPercent = 3; // of a core
constexpr double levelGoalMiBPerHour = 5;

template <typename... Values> std::string format(const char* pattern, Values... values) {
    char text[512];
    std::snprintf(text, sizeof text, pattern, values...);
    return text;
}

double median(std::vector<double> values) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

template <typename Round>
double medianOf(const std::vector<Round>& rounds, const std::function<double(const Round&)>& of) {
    std::vector<double> values;
    for (const Round& round : rounds)
        values.push_back(of(round));
    return median(values);
}

std::string openGlLabel(const std::string& renderer) {
    if (renderer.empty()) return "no OpenGL";
    return (sorvo::browser::isSoftwareRasterizer(renderer) ? "software OpenGL: "
                                                           : "hardware OpenGL: ") +
           renderer;
}

// Client over chromium, round by round: each pair met the same load on the machine.
struct Ratios {
    double median = 0;
    std::string each; // "1.46, 1.38, …"
};

Ratios sameRoundRatios(const std::vector<double>& client, const std::vector<double>& chromium) {
    std::vector<double> ratios;
    std::string each;
    for (std::size_t i = 0; i < client.size() && i < chromium.size(); ++i) {
        ratios.push_back(client[i] / chromium[i]);
        each += format("%s%.2f", i == 0 ? "" : ", ", ratios.back());
    }
    return {median(ratios), each};
}

// A state in which nothing of the window can be seen: the tree's CPU and its compositor's.
std::string unseenRow(const char* what, double treePercent, double compositorPercent,
                      bool withGoal) {
    return format(
        "| CPU while the radio page plays, %s (its compositor thread) | %.1f %% (%.2f "
        "%%) of a core | %s |\n",
        what, treePercent, compositorPercent,
        withGoal ? format("≤ %.0f %% of a core, no frames drawn", unseenGoalPercent).c_str() : "—");
}

// The same page with its disc still: the part of the gap that the turning disc makes.
std::string stillDiscRow(const std::vector<StillDiscRound>& rounds) {
    std::vector<double> client, chromium, clientCompositor, chromiumCompositor;
    for (const auto& round : rounds) {
        client.push_back(round.client.treePercent);
        chromium.push_back(round.chromium.treePercent);
        clientCompositor.push_back(round.client.compositorPercent);
        chromiumCompositor.push_back(round.chromium.compositorPercent);
    }
    const Ratios ratios = sameRoundRatios(client, chromium);
    return format("| CPU playing with the disc still (bars bouncing), window visible: client / "
                  "chromium --app in the same round | %.1f / %.1f %% of a core (compositor "
                  "threads %.1f / %.1f) = %.2f × (rounds: %s) | — |\n",
                  median(client), median(chromium), median(clientCompositor),
                  median(chromiumCompositor), ratios.median, ratios.each.c_str());
}

// The heap's collections make the memory of a playing page a saw, tens of MiB high and minutes
// long; its least-squares slope over the run tells a creep from a level.
std::string longRunRow(const char* who, const std::vector<PssSample>& samples,
                       double PssSample::*figure, int longMinutes, int longWarmUpMinutes,
                       bool withGoal) {
    const auto [low, high] = std::minmax_element(
        samples.begin(), samples.end(),
        [figure](const PssSample& a, const PssSample& b) { return a.*figure < b.*figure; });
    return format("| PSS over %d min of playing after %d min: %s | %.1f–%.1f MiB, slope %+.1f "
                  "MiB/h | %s |\n",
                  longMinutes, longWarmUpMinutes, who, (*low).*figure, (*high).*figure,
                  slopeMiBPerHour(samples, figure),
                  withGoal ? format("levels off: ≤ %.0f MiB/h", levelGoalMiBPerHour).c_str() : "—");
}

} // namespace

CpuWindow measureCpuWindow(pid_t root, const std::string& marker, int seconds) {
    const auto start = std::chrono::steady_clock::now();
    const auto treeBefore = processTreeCpuTicks(root, marker);
    const auto threadsBefore = processTreeThreadTicks(root, marker);
    std::this_thread::sleep_for(std::chrono::seconds(seconds));
    const auto threadsAfter = processTreeThreadTicks(root, marker);
    const auto treeAfter = processTreeCpuTicks(root, marker);
    const double elapsed =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const double percentPerTick = 100.0 / static_cast<double>(sysconf(_SC_CLK_TCK)) / elapsed;

    CpuWindow window;
    window.treePercent =
        static_cast<double>(cpuTicksBetween(treeBefore, treeAfter)) * percentPerTick;
    std::map<std::string, double> byName;
    for (const auto& [tid, thread] : threadsAfter) {
        const auto earlier = threadsBefore.find(tid);
        const long spent =
            thread.ticks - (earlier == threadsBefore.end() ? 0 : earlier->second.ticks);
        byName[thread.name] += static_cast<double>(spent) * percentPerTick;
    }
    window.compositorPercent = byName["VizCompositorTh"];
    window.busiest.assign(byName.begin(), byName.end());
    std::sort(window.busiest.begin(), window.busiest.end(),
              [](const auto& a, const auto& b) { return a.second > b.second; });
    window.busiest.resize(std::min(window.busiest.size(), threadsShown));
    return window;
}

std::string describe(const CpuWindow& window) {
    std::string text = format("%.1f %% of a core; by thread:", window.treePercent);
    for (const auto& [name, percent] : window.busiest)
        text += format(" %s %.1f,", name.c_str(), percent);
    text.pop_back();
    return text;
}

double slopeMiBPerHour(const std::vector<PssSample>& samples, double PssSample::*figure) {
    if (samples.size() < 2) return 0;
    double meanT = 0, meanV = 0;
    for (const PssSample& sample : samples) {
        meanT += sample.minutes;
        meanV += sample.*figure;
    }
    meanT /= static_cast<double>(samples.size());
    meanV /= static_cast<double>(samples.size());
    double covariance = 0, variance = 0;
    for (const PssSample& sample : samples) {
        covariance += (sample.minutes - meanT) * (sample.*figure - meanV);
        variance += (sample.minutes - meanT) * (sample.minutes - meanT);
    }
    return variance > 0 ? covariance / variance * 60 : 0;
}

std::string figuresTable(const PlayingFigures& figures, int seconds, int warmUpSeconds,
                         int longMinutes, int longWarmUpMinutes) {
    const auto& client = figures.client;
    const auto& chromium = figures.chromium;
    std::string table =
        format("Medians of %zu rounds on %s; CPU over %d s after %d s of playing; load average "
               "before the rounds %s, after %s.\n\n| figure | value | goal |\n|---|---|---|\n",
               client.size(), openGlLabel(figures.renderer).c_str(), seconds, warmUpSeconds,
               figures.loadBefore.c_str(), figures.loadAfter.c_str());

    const double clientVisible =
        medianOf<ClientRound>(client, [](const auto& r) { return r.visible.treePercent; });
    table += format("| CPU while the radio page plays, window visible: client | %.1f %% of a "
                    "core | — |\n",
                    clientVisible);
    if (!chromium.empty()) {
        table += format(
            "| CPU while the radio page plays, window visible: chromium --app | %.1f "
            "%% of a core | — |\n",
            medianOf<ChromiumRound>(chromium, [](const auto& r) { return r.visible.treePercent; }));
        std::vector<double> clientRounds, chromiumRounds;
        for (const auto& round : client)
            clientRounds.push_back(round.visible.treePercent);
        for (const auto& round : chromium)
            chromiumRounds.push_back(round.visible.treePercent);
        const Ratios ratios = sameRoundRatios(clientRounds, chromiumRounds);
        table += format("| CPU playing, window visible, client / chromium --app in the same round "
                        "(%s) | %.2f × (rounds: %s) | ≤ %.1f × |\n",
                        openGlLabel(figures.renderer).c_str(), ratios.median, ratios.each.c_str(),
                        visibleGoal);
    }
    if (!figures.stillDisc.empty()) table += stillDiscRow(figures.stillDisc);
    table += unseenRow(
        "window minimised: client",
        medianOf<ClientRound>(client, [](const auto& r) { return r.minimised.treePercent; }),
        medianOf<ClientRound>(client, [](const auto& r) { return r.minimised.compositorPercent; }),
        true);
    table += unseenRow(
        "hidden in the tray: client",
        medianOf<ClientRound>(client, [](const auto& r) { return r.hidden.treePercent; }),
        medianOf<ClientRound>(client, [](const auto& r) { return r.hidden.compositorPercent; }),
        true);
    if (chromium.empty())
        return table + "| chromium --app | not installed (run `scripts/install-deps --bench`) | — "
                       "|\n";
    table += unseenRow(
        "window minimised: chromium --app",
        medianOf<ChromiumRound>(chromium, [](const auto& r) { return r.minimised.treePercent; }),
        medianOf<ChromiumRound>(chromium,
                                [](const auto& r) { return r.minimised.compositorPercent; }),
        false);
    const double clientPss = medianOf<ClientRound>(client, [](const auto& r) { return r.pssMiB; });
    const double chromiumPss =
        medianOf<ChromiumRound>(chromium, [](const auto& r) { return r.pssMiB; });
    table += format("| PSS of the process tree while playing, client / chromium --app | %.1f / "
                    "%.1f MiB = %.2f × | — |\n",
                    clientPss, chromiumPss, clientPss / chromiumPss);
    if (figures.longRun && !figures.longRun->samples.empty()) {
        const auto& samples = figures.longRun->samples;
        table += longRunRow("client", samples, &PssSample::clientMiB, longMinutes,
                            longWarmUpMinutes, true);
        table += longRunRow("chromium --app", samples, &PssSample::chromiumMiB, longMinutes,
                            longWarmUpMinutes, false);
    }
    return table;
}

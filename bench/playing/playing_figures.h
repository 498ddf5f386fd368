#pragma once

#include <optional>
#include <string>
#include <sys/types.h>
#include <utility>
#include <vector>

// CPU of a process tree over a stretch of time, in percent of one core.
struct CpuWindow {
    double treePercent = 0;
    // The engine's display compositor thread, which works once for every frame it draws.
    double compositorPercent = 0;
    // The busiest threads by name, threads of the same name taken together, busiest first.
    std::vector<std::pair<std::string, double>> busiest;
};

// Reads the tree's CPU over the next `seconds`; the tree is root's, with the processes the
// marker finds (see process_tree.h).
CpuWindow measureCpuWindow(pid_t root, const std::string& marker, int seconds);
std::string describe(const CpuWindow& window);

struct ClientRound {
    CpuWindow visible, minimised, hidden;
    double pssMiB = 0;
};

struct ChromiumRound {
    CpuWindow visible, minimised;
    double pssMiB = 0;
};

// Both on a page whose disc stays still while its bars bounce and its music plays, visible,
// in the same round: what the turning disc costs each of them shows against a full round.
struct StillDiscRound {
    CpuWindow client, chromium;
};

struct PssSample {
    double minutes = 0;
    double clientMiB = 0;
    double chromiumMiB = 0;
};

struct LongRun {
    std::vector<PssSample> samples;
};

struct PlayingFigures {
    std::string renderer; // the OpenGL renderer the application finds; empty without OpenGL
    std::string loadBefore, loadAfter;
    std::vector<ClientRound> client;
    std::vector<ChromiumRound> chromium;   // empty without chromium
    std::vector<StillDiscRound> stillDisc; // empty without chromium
    std::optional<LongRun> longRun;
};

// The least-squares slope of one figure of the samples over time, in MiB per hour; 0 with fewer
// than two samples.
double slopeMiBPerHour(const std::vector<PssSample>& samples, double PssSample::*figure);

// The table rows with their goals, under a line that says how they were measured.
std::string figuresTable(const PlayingFigures& figures, int seconds, int warmUpSeconds,
                         int longMinutes, int longWarmUpMinutes);

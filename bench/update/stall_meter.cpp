#include "stall_meter.h"

#include <algorithm>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

namespace {
constexpr std::size_t reported = 3;

double msBetween(StallMeter::Clock::time_point from, StallMeter::Clock::time_point to) {
    return std::chrono::duration<double, std::milli>(to - from).count();
}
} // namespace

// Built on the thread it measures.
StallMeter::StallMeter() : schedstat_(open("/proc/thread-self/schedstat", O_RDONLY | O_CLOEXEC)) {
    timer_.setTimerType(Qt::PreciseTimer);
    timer_.setInterval(1);
    connect(&timer_, &QTimer::timeout, this, [this] { tick(); });
}

StallMeter::~StallMeter() {
    if (schedstat_ >= 0) close(schedstat_);
}

// Nanoseconds on a CPU and waiting in the run queue, since the thread began.
StallMeter::SchedulerCounts StallMeter::schedulerCounts() const {
    char text[128];
    const ssize_t size = pread(schedstat_, text, sizeof text - 1, 0);
    if (size <= 0) return {};
    text[size] = '\0';
    char* rest = nullptr;
    const double running = static_cast<double>(std::strtoull(text, &rest, 10));
    const double waiting = static_cast<double>(std::strtoull(rest, nullptr, 10));
    return {running / 1e6, waiting / 1e6};
}

void StallMeter::start() {
    gaps_.clear();
    gaps_.reserve(1 << 16);
    start_ = last_ = Clock::now();
    lastCounts_ = schedulerCounts();
    timer_.start();
}

void StallMeter::tick() {
    const Clock::time_point now = Clock::now();
    const SchedulerCounts counts = schedulerCounts();
    gaps_.push_back({msBetween(last_, now), msBetween(start_, now),
                     counts.runningMs - lastCounts_.runningMs,
                     counts.waitingForCpuMs - lastCounts_.waitingForCpuMs});
    last_ = now;
    lastCounts_ = counts;
}

StallMeter::Figures StallMeter::stop() {
    tick();
    timer_.stop();
    Figures figures;
    figures.spanMs = msBetween(start_, last_);
    std::vector<Gap> byLength = gaps_;
    std::sort(byLength.begin(), byLength.end(),
              [](const Gap& a, const Gap& b) { return a.ms > b.ms; });
    figures.longestMs = byLength.front().ms;
    figures.p99Ms = byLength[byLength.size() / 100].ms;
    byLength.resize(std::min(byLength.size(), reported));
    figures.longest = byLength;
    return figures;
}

#pragma once

#include <QObject>
#include <QTimer>
#include <chrono>
#include <vector>

// Measures how long the UI thread's event loop goes unanswered: a precise 1 ms timer on that
// thread, and the gaps between its ticks. Each gap is split, from the scheduler's own counts
// for the thread, into time spent running, time spent ready but waiting for a CPU, and the rest
// (asleep: blocked in a system call or waiting for events).
class StallMeter : public QObject {
  public:
    using Clock = std::chrono::steady_clock;

    struct Gap {
        double ms = 0;
        double endsAtMs = 0; // since start()
        double runningMs = 0;
        double waitingForCpuMs = 0;
    };
    struct Figures {
        double spanMs = 0;
        double longestMs = 0;
        double p99Ms = 0;
        std::vector<Gap> longest; // the longest few, longest first
    };

    StallMeter();
    ~StallMeter() override;
    StallMeter(const StallMeter&) = delete;
    StallMeter& operator=(const StallMeter&) = delete;

    void start();
    Figures stop();
    Clock::time_point started() const { return start_; }

  private:
    struct SchedulerCounts {
        double runningMs = 0;
        double waitingForCpuMs = 0;
    };
    SchedulerCounts schedulerCounts() const;
    void tick();

    QTimer timer_;
    Clock::time_point start_;
    Clock::time_point last_;
    SchedulerCounts lastCounts_;
    int schedstat_ = -1; // the UI thread's /proc schedstat
    std::vector<Gap> gaps_;
};

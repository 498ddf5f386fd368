#pragma once

#include <chrono>
#include <cstdint>
#include <deque>
#include <mutex>

namespace sorvo::download {

// The receive rate over a sliding window. The worker adds arrivals; any thread may ask.
class SpeedMeter {
  public:
    using Clock = std::chrono::steady_clock;

    explicit SpeedMeter(Clock::duration window = std::chrono::seconds(2));

    void restart(Clock::time_point now);
    void add(int64_t bytes, Clock::time_point now);
    // Bytes per second between now minus the window and now; over the time since the restart
    // while that is shorter.
    int64_t bytesPerSecond(Clock::time_point now) const;

  private:
    struct Sample {
        Clock::time_point time;
        int64_t total; // bytes received from the restart up to time
    };

    void dropOldSamples(Clock::time_point now);

    const Clock::duration window_;
    mutable std::mutex mutex_;
    std::deque<Sample> samples_;
};

} // namespace sorvo::download

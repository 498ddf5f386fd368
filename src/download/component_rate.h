#pragma once

#include <chrono>
#include <cstdint>
#include <mutex>

namespace sorvo::download {

// The average receive rate of the whole component over its current busy period (see
// overallRate in downloader.h). Transfers mark themselves busy for as long as they run.
class ComponentRate {
  public:
    using Clock = std::chrono::steady_clock;

    // Never destroyed: a released worker may still end while the statics are destroyed.
    static ComponentRate& instance();

    void enter(Clock::time_point now);
    void leave(Clock::time_point now);
    void add(int64_t bytes);
    int64_t bytesPerSecond(Clock::time_point now) const;

    // Marks a transfer busy for its lifetime.
    class Busy {
      public:
        Busy() { instance().enter(Clock::now()); }
        ~Busy() { instance().leave(Clock::now()); }
        Busy(const Busy&) = delete;
        Busy& operator=(const Busy&) = delete;
    };

  private:
    mutable std::mutex mutex_;
    int busyTransfers_ = 0;
    Clock::time_point periodStart_;
    Clock::time_point periodEnd_;
    int64_t periodBytes_ = 0;
};

} // namespace sorvo::download

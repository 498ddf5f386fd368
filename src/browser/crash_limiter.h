#pragma once

#include <chrono>
#include <deque>

namespace sorvo::browser {

// Decides whether a page whose renderer died may be loaded again by itself: at most `limit`
// times within any `window`, so that a page that kills its renderer at once does not keep the
// machine busy. The caller passes the time.
class CrashLimiter {
  public:
    using Clock = std::chrono::steady_clock;

    CrashLimiter(); // three reloads a minute
    CrashLimiter(int limit, Clock::duration window);

    // Whether the page may be reloaded after a crash at `now`; a reload allowed is counted.
    bool mayReload(Clock::time_point now);
    // The listener asked for the page again: the count starts afresh.
    void forgive();

  private:
    int limit_;
    Clock::duration window_;
    std::deque<Clock::time_point> reloads_;
};

} // namespace sorvo::browser

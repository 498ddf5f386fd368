#pragma once

#include <chrono>
#include <cstddef>
#include <deque>

namespace sorvo::browser {

// At most `limit` events within any `window` of time: an event is let through only while fewer
// than `limit` were let through in the `window` before it; one exactly `window` old no longer
// counts. The caller passes the time, so the rule runs on any clock. Plain data: one owner, on
// one thread at a time.
class SlidingLimit {
  public:
    using Clock = std::chrono::steady_clock;

    SlidingLimit(std::size_t limit, Clock::duration window);

    // Whether an event at `now` may happen; one let through is counted.
    bool admit(Clock::time_point now);
    // Whether the limit is reached at `now`: the next event then would be refused.
    bool full(Clock::time_point now);
    // Forgets every event counted.
    void clear() { events_.clear(); }

  private:
    void forgetBefore(Clock::time_point now);

    std::size_t limit_;
    Clock::duration window_;
    std::deque<Clock::time_point> events_; // oldest first
};

} // namespace sorvo::browser

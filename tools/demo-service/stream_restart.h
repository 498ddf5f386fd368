#pragma once

#include <chrono>
#include <mutex>
#include <optional>

namespace sorvo::demo {

// When the channel streams' server restarts gracefully, as a station's does when a source
// reconnects: every live stream under way ends cleanly, and new ones are refused for a while.
class StreamRestart {
  public:
    using Clock = std::chrono::steady_clock;

    // Only when asked.
    StreamRestart() = default;
    // Also every `every` (above zero) by itself, from `every` after now, refusing for a second each
    // time.
    explicit StreamRestart(Clock::duration every);

    // Restarts now and refuses new streams for `refusal`.
    void begin(Clock::duration refusal);
    bool refusing() const;
    // Whether a stream begun at `began` has been through a restart since.
    bool restartedSince(Clock::time_point began) const;

  private:
    // The latest restart by schedule up to `now`; the clock's epoch when there was none.
    Clock::time_point lastScheduled(Clock::time_point now) const;

    std::optional<Clock::duration> every_;
    Clock::time_point firstScheduled_;
    mutable std::mutex mutex_;
    Clock::time_point asked_;
    Clock::time_point askedRefusalEnd_;
};

} // namespace sorvo::demo

#pragma once

#include <chrono>
#include <cstdint>
#include <mutex>

namespace sorvo::demo {

// When the channel streams are down, as if their server had gone: a stream under way is cut
// mid-body and a new one is refused with 503.
class StreamOutage {
  public:
    using Clock = std::chrono::steady_clock;

    // Only when asked. Or also `firstAfter` from now, for `length`; a zero length: never.
    StreamOutage() = default;
    StreamOutage(Clock::duration firstAfter, Clock::duration length);

    // The streams go down now for `length`.
    void begin(Clock::duration length);
    bool down() const;

  private:
    mutable std::mutex mutex_;
    Clock::time_point start_;
    Clock::time_point end_;
};

} // namespace sorvo::demo

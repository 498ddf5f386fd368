#pragma once

#include <chrono>
#include <cstdint>
#include <mutex>

namespace sorvo::demo {

// When the channel streams are down, as if their server had gone: a stream under way is cut
// mid-body and a new one is refused with 503. While outages are on, the streams go out at the
// rate they play, a few seconds ahead, as a live broadcast does, so the cut is heard.
class StreamOutage {
  public:
    using Clock = std::chrono::steady_clock;

    // Not live: the streams go out at full speed and never go down. Live: `firstAfter` from now
    // they go down for `length`; a zero length: never by themselves.
    StreamOutage() = default;
    StreamOutage(Clock::duration firstAfter, Clock::duration length);

    // The streams go down now for `length`.
    void begin(Clock::duration length);
    bool down() const;
    bool live() const { return live_; }

  private:
    bool live_ = false;
    mutable std::mutex mutex_;
    Clock::time_point start_;
    Clock::time_point end_;
};

} // namespace sorvo::demo

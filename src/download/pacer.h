#pragma once

#include <chrono>
#include <cstdint>

namespace sorvo::download {

// Holds a transfer to a rate cap: on average since the start, bytes are taken no faster than
// the cap, with one read's worth of slack so that the first read passes at once.
class Pacer {
  public:
    using Clock = std::chrono::steady_clock;

    Pacer(int64_t bytesPerSecond, int64_t slack);

    void start(Clock::time_point now);
    // Takes size bytes if the cap allows them now; otherwise remembers when it will.
    bool take(int64_t size, Clock::time_point now);
    // When the bytes last refused may be taken.
    Clock::time_point readyAt() const { return readyAt_; }

  private:
    const double bytesPerSecond_;
    const int64_t slack_;
    Clock::time_point start_;
    Clock::time_point readyAt_;
    int64_t taken_ = 0;
};

} // namespace sorvo::download

#pragma once

#include "download/speed_meter.h"

#include <cstdint>

namespace sorvo::download {

// A body slower on average than this over a whole span counts as stalled.
struct LowSpeedLimit {
    int64_t bytesPerSecond = 1024;
    SpeedMeter::Clock::duration span = std::chrono::seconds(60);
};

// Tells a body that trickles from one that flows: one below the limit counts as stalled, even
// though bytes keep coming. The times are passed in.
class LowSpeedGuard {
  public:
    using Clock = SpeedMeter::Clock;

    explicit LowSpeedGuard(LowSpeedLimit limit);

    void restart(Clock::time_point now);
    void add(int64_t bytes, Clock::time_point now);
    // Whether at least a span has passed since the restart, and the last span was too slow.
    bool stalled(Clock::time_point now) const;
    const LowSpeedLimit& limit() const { return limit_; }

  private:
    const LowSpeedLimit limit_;
    SpeedMeter meter_;
    Clock::time_point start_;
};

} // namespace sorvo::download

#include "download/low_speed.h"

namespace sorvo::download {

LowSpeedGuard::LowSpeedGuard(LowSpeedLimit limit)
    : bytesPerSecond_(limit.bytesPerSecond), span_(limit.span), meter_(limit.span),
      start_(Clock::now()) {}

void LowSpeedGuard::restart(Clock::time_point now) {
    meter_.restart(now);
    start_ = now;
}

void LowSpeedGuard::add(int64_t bytes, Clock::time_point now) {
    meter_.add(bytes, now);
}

bool LowSpeedGuard::stalled(Clock::time_point now) const {
    return now - start_ >= span_ && meter_.bytesPerSecond(now) < bytesPerSecond_;
}

} // namespace sorvo::download

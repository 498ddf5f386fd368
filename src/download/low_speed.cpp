#include "download/low_speed.h"

namespace sorvo::download {

LowSpeedGuard::LowSpeedGuard(LowSpeedLimit limit)
    : limit_(limit), meter_(limit.span), start_(Clock::now()) {}

void LowSpeedGuard::restart(Clock::time_point now) {
    meter_.restart(now);
    start_ = now;
}

void LowSpeedGuard::add(int64_t bytes, Clock::time_point now) {
    meter_.add(bytes, now);
}

bool LowSpeedGuard::stalled(Clock::time_point now) const {
    return now - start_ >= limit_.span && meter_.bytesPerSecond(now) < limit_.bytesPerSecond;
}

} // namespace sorvo::download

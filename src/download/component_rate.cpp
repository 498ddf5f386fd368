#include "download/component_rate.h"

namespace sorvo::download {

ComponentRate& ComponentRate::instance() {
    static ComponentRate* const rate = new ComponentRate;
    return *rate;
}

void ComponentRate::enter(Clock::time_point now) {
    std::lock_guard lock(mutex_);
    if (busyTransfers_++ == 0) {
        periodStart_ = now;
        periodBytes_ = 0;
    }
}

void ComponentRate::leave(Clock::time_point now) {
    std::lock_guard lock(mutex_);
    if (--busyTransfers_ == 0) periodEnd_ = now;
}

void ComponentRate::add(int64_t bytes) {
    std::lock_guard lock(mutex_);
    periodBytes_ += bytes;
}

int64_t ComponentRate::bytesPerSecond(Clock::time_point now) const {
    std::lock_guard lock(mutex_);
    const Clock::time_point end = busyTransfers_ > 0 ? now : periodEnd_;
    const double seconds = std::chrono::duration<double>(end - periodStart_).count();
    if (seconds <= 0.0) return 0;
    return static_cast<int64_t>(static_cast<double>(periodBytes_) / seconds);
}

} // namespace sorvo::download

#include "stream_restart.h"

namespace sorvo::demo {

namespace {
constexpr auto scheduledRefusal = std::chrono::seconds(1);
}

StreamRestart::StreamRestart(Clock::duration every)
    : every_(every), firstScheduled_(Clock::now() + every) {}

void StreamRestart::begin(Clock::duration refusal) {
    std::lock_guard lock(mutex_);
    asked_ = Clock::now();
    askedRefusalEnd_ = asked_ + refusal;
}

StreamRestart::Clock::time_point StreamRestart::lastScheduled(Clock::time_point now) const {
    if (!every_ || now < firstScheduled_) return {};
    return firstScheduled_ + (now - firstScheduled_) / *every_ * *every_;
}

bool StreamRestart::refusing() const {
    const auto now = Clock::now();
    const auto scheduled = lastScheduled(now);
    if (scheduled != Clock::time_point() && now < scheduled + scheduledRefusal) return true;
    std::lock_guard lock(mutex_);
    return now < askedRefusalEnd_;
}

bool StreamRestart::restartedSince(Clock::time_point began) const {
    if (lastScheduled(Clock::now()) > began) return true;
    std::lock_guard lock(mutex_);
    return asked_ > began;
}

} // namespace sorvo::demo

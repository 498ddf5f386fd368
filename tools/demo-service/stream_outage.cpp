#include "stream_outage.h"

namespace sorvo::demo {

StreamOutage::StreamOutage(Clock::duration firstAfter, Clock::duration length)
    : start_(Clock::now() + firstAfter), end_(start_ + length) {}

void StreamOutage::begin(Clock::duration length) {
    std::lock_guard lock(mutex_);
    start_ = Clock::now();
    end_ = start_ + length;
}

bool StreamOutage::down() const {
    std::lock_guard lock(mutex_);
    const auto now = Clock::now();
    return now >= start_ && now < end_;
}

} // namespace sorvo::demo

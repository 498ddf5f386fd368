#include "browser/sliding_limit.h"

namespace sorvo::browser {

SlidingLimit::SlidingLimit(std::size_t limit, Clock::duration window)
    : limit_(limit), window_(window) {}

bool SlidingLimit::admit(Clock::time_point now) {
    if (full(now)) return false;
    events_.push_back(now);
    return true;
}

bool SlidingLimit::full(Clock::time_point now) {
    forgetBefore(now);
    return events_.size() >= limit_;
}

void SlidingLimit::forgetBefore(Clock::time_point now) {
    while (!events_.empty() && now - events_.front() >= window_)
        events_.pop_front();
}

} // namespace sorvo::browser

#include "browser/retry_schedule.h"

#include <algorithm>
#include <utility>

namespace sorvo::browser {

using std::chrono::seconds;

RetrySchedule::RetrySchedule()
    : RetrySchedule({seconds(2), seconds(4), seconds(8), seconds(16), seconds(30), seconds(60)}) {}

RetrySchedule::RetrySchedule(Delays delays) : delays_(std::move(delays)) {}

std::chrono::milliseconds RetrySchedule::next() {
    const std::size_t at = std::min(failures_, delays_.size() - 1);
    ++failures_;
    return delays_[at];
}

void RetrySchedule::restart() {
    failures_ = 0;
}

} // namespace sorvo::browser

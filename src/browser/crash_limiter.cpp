#include "browser/crash_limiter.h"

namespace sorvo::browser {

CrashLimiter::CrashLimiter() : CrashLimiter(3, std::chrono::minutes(1)) {}

CrashLimiter::CrashLimiter(int limit, Clock::duration window) : limit_(limit), window_(window) {}

bool CrashLimiter::mayReload(Clock::time_point now) {
    while (!reloads_.empty() && now - reloads_.front() >= window_)
        reloads_.pop_front();
    if (static_cast<int>(reloads_.size()) >= limit_) return false;
    reloads_.push_back(now);
    return true;
}

void CrashLimiter::forgive() {
    reloads_.clear();
}

} // namespace sorvo::browser

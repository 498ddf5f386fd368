#include "download/pacer.h"

namespace sorvo::download {

Pacer::Pacer(int64_t bytesPerSecond, int64_t slack)
    : bytesPerSecond_(static_cast<double>(bytesPerSecond)), slack_(slack) {}

void Pacer::start(Clock::time_point now) {
    start_ = readyAt_ = now;
    taken_ = 0;
}

bool Pacer::take(int64_t size, Clock::time_point now) {
    const double due = static_cast<double>(taken_ + size - slack_) / bytesPerSecond_;
    readyAt_ =
        start_ + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(due));
    if (now < readyAt_) return false;
    taken_ += size;
    return true;
}

} // namespace sorvo::download

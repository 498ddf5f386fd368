#include "download/speed_meter.h"

namespace sorvo::download {

namespace {
// The newest sample moves with each arrival until it lies this far from the one before; that
// bounds the samples to about twenty per window however fast the data comes, and every sample
// still pairs a total with the exact time it was reached.
constexpr auto sampleSpacing = std::chrono::milliseconds(100);
} // namespace

SpeedMeter::SpeedMeter(Clock::duration window) : window_(window) {
    restart(Clock::now());
}

void SpeedMeter::restart(Clock::time_point now) {
    std::lock_guard lock(mutex_);
    samples_.assign(1, Sample{now, 0});
}

void SpeedMeter::add(int64_t bytes, Clock::time_point now) {
    std::lock_guard lock(mutex_);
    const int64_t total = samples_.back().total + bytes;
    if (samples_.size() > 1 && now - samples_[samples_.size() - 2].time < sampleSpacing)
        samples_.back() = Sample{now, total};
    else
        samples_.push_back(Sample{now, total});
    dropOldSamples(now);
}

// Keeps the newest sample at or before the window's start: it is the base of the window.
void SpeedMeter::dropOldSamples(Clock::time_point now) {
    while (samples_.size() > 1 && samples_[1].time <= now - window_)
        samples_.pop_front();
}

int64_t SpeedMeter::bytesPerSecond(Clock::time_point now) const {
    std::lock_guard lock(mutex_);
    const Sample* base = &samples_.front();
    for (const Sample& s : samples_) {
        if (s.time > now - window_) break;
        base = &s;
    }
    const auto elapsed = std::chrono::duration<double>(now - base->time).count();
    if (elapsed <= 0.0) return 0;
    return static_cast<int64_t>(static_cast<double>(samples_.back().total - base->total) / elapsed);
}

} // namespace sorvo::download

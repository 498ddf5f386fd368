#include "pacer.h"

#include <algorithm>
#include <thread>

namespace sorvo::demo {

namespace {
constexpr std::int64_t smallestChunk = 1024;
constexpr std::int64_t largestChunk = 64 * 1024;
} // namespace

Pacer::Pacer(std::int64_t bytesPerSecond, std::int64_t leadBytes)
    : bytesPerSecond_(bytesPerSecond), sent_(-leadBytes) {}

std::size_t Pacer::chunkSize() const {
    if (bytesPerSecond_ <= 0) return largestChunk;
    return static_cast<std::size_t>(std::clamp(bytesPerSecond_ / 20, smallestChunk, largestChunk));
}

void Pacer::waitToSend(std::size_t bytes) {
    if (bytesPerSecond_ <= 0) return;
    const auto now = std::chrono::steady_clock::now();
    if (!start_) start_ = now;
    const auto due = *start_ + std::chrono::microseconds(sent_ * 1'000'000 / bytesPerSecond_);
    if (due > now) std::this_thread::sleep_until(due);
    sent_ += static_cast<std::int64_t>(bytes);
}

} // namespace sorvo::demo

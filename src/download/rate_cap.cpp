#include "download/rate_cap.h"

#include "download/download_settings.h"

#include <algorithm>
#include <curl/curl.h>

namespace sorvo::download {

namespace {

constexpr int64_t bytesPerStep = 8 * 1024;
constexpr int32_t uncappedFrom = 200;

// The cap is kept read by read, so a read should be small against a second's worth: here about
// 1/48 of it, which gives 1 KiB at the lowest cap and 20 KiB at the highest.
constexpr int64_t readsPerSecond = 48;

// Uncapped, large reads keep the calls per MiB, and so the CPU time, low.
constexpr long uncappedBuffer = 128 * 1024;

// The range libcurl accepts for CURLOPT_BUFFERSIZE.
constexpr int64_t smallestBuffer = 1024;
constexpr int64_t largestBuffer = CURL_MAX_READ_SIZE;

long clampedBuffer(int64_t size) {
    return static_cast<long>(std::clamp(size, smallestBuffer, largestBuffer));
}

} // namespace

RateCap rateCapFor(const DownloadSettings& settings) {
    if (settings.speedValue <= 0 || settings.speedValue >= uncappedFrom) return {0, uncappedBuffer};
    const int64_t cap = settings.speedValue * bytesPerStep;
    const long largest = clampedBuffer(settings.receiveBufferSize);
    const long smallest = std::min(clampedBuffer(settings.minReceiveBufferSize), largest);
    return {cap, std::clamp(static_cast<long>(cap / readsPerSecond), smallest, largest)};
}

} // namespace sorvo::download

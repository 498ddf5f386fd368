#pragma once

#include <cstdint>

namespace sorvo::download {

struct DownloadSettings;

// How fast a transfer may receive and how much it reads at a time.
struct RateCap {
    int64_t bytesPerSecond = 0; // 0: uncapped
    long receiveBufferSize = 0; // for CURLOPT_BUFFERSIZE: the most one read delivers
};

// speedValue counts steps of 8 KiB/s: 120, 60, 20 and 6 cap at 960, 480, 160 and 48 KiB/s.
// 200 and above, and 0 and below, leave the transfer uncapped.
RateCap rateCapFor(const DownloadSettings& settings);

} // namespace sorvo::download

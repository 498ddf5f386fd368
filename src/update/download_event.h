#pragma once

#include "download/hooks.h"

#include <cstdint>

namespace sorvo::update {

// One notification of the download component, as a typed value instead of the hook's five
// integers.
struct DownloadEvent {
    enum class Kind { SizeKnown, Finished, Retrying, Failed, Other };

    Kind kind = Kind::Other;
    // SizeKnown: the package's total size; Finished: its size on disk; Retrying: the bytes kept
    // for the retry; Failed: the bytes received before the failure.
    std::int64_t bytes = 0;
    // Failed: why, and the HTTP status behind it (0 when there is none).
    download::MessageCode failure = download::MessageCode::ConnectionLost;
    std::int32_t httpStatus = 0;

    static DownloadEvent fromHook(std::int32_t kind, std::int32_t a, std::int32_t b, std::int32_t c,
                                  std::int32_t d);
};

} // namespace sorvo::update

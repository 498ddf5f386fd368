#pragma once

#include "download/hooks.h"

#include <cstdint>

namespace sorvo::update {

// One notification of the download component, as the update window reads it.
struct DownloadEvent {
    enum class Kind { SizeKnown, Finished, Retrying, Failed, Other };

    Kind kind = Kind::Other;
    // SizeKnown: the package's total size; Finished: its size on disk; Retrying: the bytes kept
    // for the retry; Failed: the bytes received before the failure.
    std::int64_t bytes = 0;
    // Failed: why, and the HTTP status behind it (0 when there is none).
    download::MessageCode failure = download::MessageCode::ConnectionLost;
    std::int32_t httpStatus = 0;

    static DownloadEvent fromHook(const download::Event& event);
};

} // namespace sorvo::update

#pragma once

#include "download/hooks.h"

#include <cstdint>
#include <string>

namespace sorvo::download {

// Why an attempt or a whole transfer did not end with the package in place.
struct Failure {
    MessageCode code = MessageCode::ConnectionLost;
    std::string text;
    int32_t httpStatus = 0;
    int32_t curlCode = 0;
};

inline Failure cancellation() {
    return {MessageCode::Cancelled, "the download was cancelled"};
}

} // namespace sorvo::download

#pragma once

#include <cstdint>
#include <string_view>
#include <variant>

namespace sorvo::demo {

// The validators a resource is served with; If-Range is compared against them.
struct Validators {
    std::string_view etag;         // strong, with its quotes
    std::string_view lastModified; // an HTTP-date
};

struct WholeBody {};
struct Unsatisfiable {};
struct ByteRange {
    std::int64_t first = 0;
    std::int64_t length = 0;
};

using RangeAnswer = std::variant<WholeBody, ByteRange, Unsatisfiable>;

// Decides what a GET with these Range and If-Range header values (empty when absent) receives
// from a resource of `size` bytes. One range is served as asked; a malformed header, several
// ranges or a stale If-Range get the whole body, which a server is always free to send.
RangeAnswer answerRange(std::string_view range, std::string_view ifRange,
                        const Validators& validators, std::int64_t size);

} // namespace sorvo::demo

#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>

namespace httplib {
struct Request;
struct Response;
} // namespace httplib

namespace sorvo::demo {

// A body without end, as a broadcast is: `read` fills `out` with the bytes from `offset` on.
struct EndlessBody {
    std::string contentType;
    std::function<void(std::int64_t offset, std::span<char> out)> read;
};

// What becomes of a live response under way: it goes on, it ends cleanly (the chunked body's
// last chunk, as from a server that restarts gracefully) or it breaks off mid-body.
enum class LiveCourse { GoOn, End, Break };

// Answers a GET for a live stream as a station's server does: 200 without a length, chunked,
// with no byte ranges and not to be kept. The body goes out at `bytesPerSecond` after
// `leadBytes` at once, for as long as `course` says it goes on.
void serveLive(EndlessBody body, std::int64_t bytesPerSecond, std::int64_t leadBytes,
               std::function<LiveCourse()> course, const httplib::Request& request,
               httplib::Response& response);

} // namespace sorvo::demo

#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>

namespace httplib {
struct Request;
struct Response;
} // namespace httplib

namespace sorvo::demo {

// A downloadable body that is produced piece by piece, so no response holds it whole.
struct RangedResource {
    std::int64_t size = 0;
    std::string contentType;
    std::string etag;
    std::string lastModified;
    // Fills `out` with the bytes that begin at `offset`; offset + out.size() <= size.
    std::function<void(std::int64_t offset, std::span<char> out)> read;
};

// Answers a GET or HEAD for `resource`: 200 with the whole body, 206 with one range (honouring
// If-Range) or 416, with validators and Accept-Ranges; the body goes out at most at
// `bytesPerSecond` (0: no cap).
void serveRanged(std::shared_ptr<const RangedResource> resource, std::int64_t bytesPerSecond,
                 const httplib::Request& request, httplib::Response& response);

} // namespace sorvo::demo

#include "ranged_resource.h"

#include "byte_range.h"
#include "pacer.h"

#include <algorithm>
#include <httplib.h>
#include <string>
#include <vector>

namespace sorvo::demo {

void serveRanged(std::shared_ptr<const RangedResource> resource, std::int64_t bytesPerSecond,
                 const httplib::Request& request, httplib::Response& response) {
    // httplib cuts every response to the ranges it parsed, even a 200 and even past the end
    // of the body; this handler answers the Range header itself, so it drops them.
    const_cast<httplib::Request&>(request).ranges.clear();

    const std::int64_t size = resource->size;
    response.set_header("Accept-Ranges", "bytes");
    response.set_header("ETag", resource->etag);
    response.set_header("Last-Modified", resource->lastModified);

    const RangeAnswer answer =
        answerRange(request.get_header_value("Range"), request.get_header_value("If-Range"),
                    {resource->etag, resource->lastModified}, size);
    if (std::holds_alternative<Unsatisfiable>(answer)) {
        response.status = 416;
        response.set_header("Content-Range", "bytes */" + std::to_string(size));
        return;
    }

    ByteRange slice{0, size};
    response.status = 200;
    if (const auto* range = std::get_if<ByteRange>(&answer)) {
        slice = *range;
        response.status = 206;
        response.set_header("Content-Range", "bytes " + std::to_string(slice.first) + "-" +
                                                 std::to_string(slice.first + slice.length - 1) +
                                                 "/" + std::to_string(size));
    }
    if (slice.length == 0) {
        response.set_content(std::string(), resource->contentType);
        return;
    }

    auto pacer = std::make_shared<Pacer>(bytesPerSecond);
    response.set_content_provider(
        static_cast<std::size_t>(slice.length), resource->contentType,
        [resource, pacer, first = slice.first](std::size_t offset, std::size_t length,
                                               httplib::DataSink& sink) {
            std::vector<char> chunk(std::min(length, pacer->chunkSize()));
            resource->read(first + static_cast<std::int64_t>(offset), chunk);
            pacer->waitToSend(chunk.size());
            return sink.is_writable() && sink.write(chunk.data(), chunk.size());
        });
}

} // namespace sorvo::demo

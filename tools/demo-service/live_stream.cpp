#include "live_stream.h"

#include "pacer.h"

#include <httplib.h>
#include <memory>
#include <vector>

namespace sorvo::demo {

void serveLive(EndlessBody body, std::int64_t bytesPerSecond, std::int64_t leadBytes,
               std::function<LiveCourse()> course, const httplib::Request& request,
               httplib::Response& response) {
    // httplib would otherwise cut the body to the ranges it parsed; a live stream has none.
    const_cast<httplib::Request&>(request).ranges.clear();
    response.status = 200;
    response.set_header("Cache-Control", "no-store");

    auto pacer = std::make_shared<Pacer>(bytesPerSecond, leadBytes);
    const std::string contentType = body.contentType;
    response.set_chunked_content_provider(
        contentType, [body = std::move(body), pacer,
                      course = std::move(course)](std::size_t offset, httplib::DataSink& sink) {
            switch (course()) {
            case LiveCourse::GoOn:
                break;
            case LiveCourse::End:
                sink.done();
                return true;
            case LiveCourse::Break:
                return false;
            }
            std::vector<char> chunk(pacer->chunkSize());
            body.read(static_cast<std::int64_t>(offset), chunk);
            pacer->waitToSend(chunk.size());
            return sink.is_writable() && sink.write(chunk.data(), chunk.size());
        });
}

} // namespace sorvo::demo

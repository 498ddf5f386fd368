#include "update/download_event.h"

namespace sorvo::update {

DownloadEvent DownloadEvent::fromHook(std::int32_t kind, std::int32_t a, std::int32_t b,
                                      std::int32_t c, std::int32_t) {
    DownloadEvent event;
    // Sizes arrive as signed 32-bit values and are widened by sign.
    event.bytes = c;
    switch (kind) {
    case download::SizeKnown:
        event.kind = Kind::SizeKnown;
        break;
    case download::Finished:
        event.kind = Kind::Finished;
        break;
    case download::Retrying:
        event.kind = Kind::Retrying;
        break;
    case download::Failed:
        event.kind = Kind::Failed;
        event.failure = static_cast<download::MessageCode>(a);
        event.httpStatus = b;
        break;
    default:
        break;
    }
    return event;
}

} // namespace sorvo::update

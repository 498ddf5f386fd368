#include "update/download_event.h"

namespace sorvo::update {

DownloadEvent DownloadEvent::fromHook(const download::Event& hooked) {
    DownloadEvent event;
    event.bytes = hooked.bytes;
    switch (hooked.kind) {
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
        event.failure = hooked.reason;
        event.httpStatus = hooked.httpStatus;
        break;
    }
    return event;
}

} // namespace sorvo::update

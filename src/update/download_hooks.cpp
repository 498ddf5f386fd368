#include "update/download_hooks.h"

#include "update/download_event.h"
#include "update/update_completion.h"
#include "update/update_state.h"

#include <QCoreApplication>
#include <QMetaObject>

namespace sorvo::update {

void onDownloadEvent(const download::Event& hooked) {
    const DownloadEvent event = DownloadEvent::fromHook(hooked);
    switch (event.kind) {
    case DownloadEvent::Kind::SizeKnown:
        updateState().totalBytes.store(event.bytes);
        break;
    case DownloadEvent::Kind::Finished:
        QMetaObject::invokeMethod(qApp, &onDownloadFinished, Qt::QueuedConnection);
        break;
    case DownloadEvent::Kind::Failed:
        // Only a new start and the program's end cancel a download; neither is the listener's
        // failure to see.
        if (event.failure != download::MessageCode::Cancelled)
            QMetaObject::invokeMethod(
                qApp, [event] { onDownloadFailed(event); }, Qt::QueuedConnection);
        break;
    case DownloadEvent::Kind::Retrying:
    case DownloadEvent::Kind::Other:
        break;
    }
}

void onDownloadMessage(std::int32_t, const std::string&, const std::string&, std::int32_t,
                       std::int32_t) {}

} // namespace sorvo::update

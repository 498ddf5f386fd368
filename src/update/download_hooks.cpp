#include "update/download_hooks.h"

#include "download/hooks.h"
#include "update/update_completion.h"
#include "update/update_state.h"

#include <QCoreApplication>
#include <QMetaObject>

namespace sorvo::update {

int onDownloadEvent(std::int32_t kind, std::int32_t, std::int32_t, std::int32_t c, std::int32_t) {
    if (kind == download::SizeKnown) {
        updateState().totalBytes.store(c);
    } else if (kind == download::Finished) {
        QMetaObject::invokeMethod(qApp, &onDownloadFinished, Qt::QueuedConnection);
    }
    return 0;
}

void onDownloadMessage(std::int32_t, const std::string&, const std::string&, std::int32_t,
                       std::int32_t) {}

} // namespace sorvo::update

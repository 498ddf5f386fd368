#include "update/update_controller.h"

#include "config/hosts.h"
#include "platform/platform.h"
#include "update/download_event.h"
#include "update/package_location.h"
#include "update/update_services.h"
#include "update/update_settings.h"

#include <QMetaObject>

namespace sorvo::update {

UpdateController::UpdateController(UpdateServices& services, QObject* parent)
    : QObject(parent), services_(services) {}

UpdateController::~UpdateController() {
    cancel();
}

void UpdateController::locatePackage() {
    packageUrl_ = packageUrlOn(hosts().download);
    packagePath_ = packagePathHere();
}

void UpdateController::start(int speedValue) {
    // Stopped first, so that none of the old download's figures are taken for this one's.
    cancel();
    const quint64 download = ++download_;
    totalBytes_ = 0;
    downloadTarget_ = packagePath_;
    fillUpdateSettings(settings_, packageUrl_, packagePath_, speedValue);
    // The controller stops its download before it goes, and that waits for a hook that runs;
    // a call still queued when it has gone is dropped with it.
    settings_.eventHook = [this, download](std::int32_t kind, std::int32_t a, std::int32_t b,
                                           std::int32_t c, std::int32_t d) {
        const DownloadEvent event = DownloadEvent::fromHook(kind, a, b, c, d);
        QMetaObject::invokeMethod(
            this, [this, download, event] { onDownloadEvent(download, event); },
            Qt::QueuedConnection);
        return 0;
    };
    settings_.messageHook = [](std::int32_t, const std::string&, const std::string&, std::int32_t,
                               std::int32_t) {};
    startMs_ = services_.nowMs();
    services_.startDownload(settings_);
}

void UpdateController::cancel() {
    ++download_;
    services_.stopDownload();
}

std::int64_t UpdateController::bytesDone() const {
    return services_.bytesDone();
}

std::int64_t UpdateController::bytesStored() const {
    return services_.bytesStored();
}

std::int64_t UpdateController::currentSpeed() const {
    return services_.currentSpeed();
}

std::int64_t UpdateController::overallRate() const {
    return services_.overallRate();
}

std::int64_t UpdateController::elapsedMs() const {
    return services_.nowMs() - startMs_;
}

void UpdateController::onDownloadEvent(quint64 download, const DownloadEvent& event) {
    if (download != download_) return;
    switch (event.kind) {
    case DownloadEvent::Kind::SizeKnown:
        totalBytes_ = event.bytes;
        emit sizeKnown(event.bytes);
        break;
    case DownloadEvent::Kind::Finished:
        emit finished();
        // The file the finished download wrote, even if the package's place has changed since.
        platform::openFile(downloadTarget_);
        emit packageStarted();
        break;
    case DownloadEvent::Kind::Failed:
        // Only a new start, a cancel and the program's end stop a download; none of them is a
        // failure to show.
        if (event.failure != download::MessageCode::Cancelled)
            emit failed(event.failure, event.httpStatus);
        break;
    case DownloadEvent::Kind::Retrying:
    case DownloadEvent::Kind::Other:
        break;
    }
}

} // namespace sorvo::update

#include "update/update_controller.h"

#include "config/hosts.h"
#include "config/log_categories.h"
#include "config/update_key.h"
#include "config/update_policy.h"
#include "download/file_identity.h"
#include "platform/platform.h"
#include "update/package_location.h"
#include "update/update_services.h"
#include "update/update_settings.h"

#include <QFile>
#include <QMetaObject>

namespace sorvo::update {

namespace {

// A build without a key refuses every package, or, when its builder allowed it, takes any.
void noteUnverifiedPackages() {
    if (!updatePublicKey().empty()) return;
    if (allowUnsignedUpdates())
        qCWarning(updateLog, "Upgrade packages are not verified: this client was built without an "
                             "update key (SORVO_UPDATE_PUBLIC_KEY).");
    else
        qCWarning(updateLog, "Upgrade packages are refused: this client was built without an "
                             "update key (SORVO_UPDATE_PUBLIC_KEY).");
}

// The download component's messages, on the worker that reports them: a retry is news, the end
// of a download without its package a warning, each with its reason and what lies behind it.
void logDownloadMessage(std::int32_t code, const std::string& text, const std::string& url,
                        std::int32_t httpStatus, std::int32_t curlCode) {
    const bool retry = static_cast<download::MessageCode>(code) == download::MessageCode::Retrying;
    QString line = QString::fromStdString(url) +
                   (retry ? QStringLiteral(" is tried again: ") : QStringLiteral(" failed: ")) +
                   QString::fromStdString(text);
    if (httpStatus != 0 || curlCode != 0)
        line +=
            QStringLiteral(" (HTTP status %1, libcurl result %2)").arg(httpStatus).arg(curlCode);
    if (retry)
        qCInfo(downloadLog, "%s", qUtf8Printable(line));
    else
        qCWarning(downloadLog, "%s", qUtf8Printable(line));
}

} // namespace

UpdateController::UpdateController(UpdateServices& services, QObject* parent)
    : QObject(parent), services_(services) {
    noteUnverifiedPackages();
}

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
    fillUpdateSettings(settings_, packageUrl_, packagePath_, speedValue);
    // The controller stops its download before it goes, and that waits for a hook that runs;
    // a call still queued when it has gone is dropped with it.
    settings_.eventHook = [this, download](const download::Event& event) {
        QMetaObject::invokeMethod(
            this, [this, download, event] { onDownloadEvent(download, event); },
            Qt::QueuedConnection);
    };
    settings_.messageHook = logDownloadMessage;
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

void UpdateController::onDownloadEvent(quint64 download, const download::Event& event) {
    if (download != download_) return;
    switch (event.kind) {
    case download::SizeKnown:
        totalBytes_ = event.bytes;
        emit sizeKnown(event.bytes);
        break;
    case download::Finished:
        emit finished();
        startPackage(event.file);
        break;
    case download::Failed:
        // Only a new start, a cancel and the program's end stop a download; none of them is a
        // failure to show.
        if (event.reason != download::MessageCode::Cancelled)
            emit failed(event.reason, event.httpStatus);
        break;
    case download::Retrying:
        break;
    }
}

void UpdateController::startPackage(const download::FileIdentity& verified) {
    // The file the finished download wrote (its settings hold it), even if the package's place
    // has changed since.
    if (download::identityOf(settings_.path) != verified) {
        emit failed(download::MessageCode::PackageChanged, 0);
        return;
    }
    platform::openFile(QFile::decodeName(settings_.path.c_str()));
    emit packageStarted();
}

} // namespace sorvo::update

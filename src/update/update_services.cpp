#include "update/update_services.h"

namespace sorvo::update {

DownloadComponent::DownloadComponent() {
    clock_.start();
}

void DownloadComponent::stopDownload() {
    download::release(downloader_);
}

void DownloadComponent::startDownload(download::DownloadSettings& settings) {
    download::startDownload(downloader_, settings);
}

std::int64_t DownloadComponent::bytesDone() const {
    return download::bytesDone(downloader_);
}

std::int64_t DownloadComponent::bytesStored() const {
    return download::bytesStored(downloader_);
}

std::int64_t DownloadComponent::currentSpeed() const {
    return download::currentSpeed(downloader_);
}

std::int64_t DownloadComponent::overallRate() const {
    return download::overallRate();
}

std::int64_t DownloadComponent::nowMs() const {
    return clock_.elapsed();
}

} // namespace sorvo::update

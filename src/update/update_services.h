#pragma once

#include "download/download_settings.h"

#include <QString>
#include <cstdint>

namespace sorvo::update {

// What the update window's handlers ask of the world outside the window: the download
// component, the size of the stored package and the system clock.
class UpdateServices {
  public:
    virtual ~UpdateServices() = default;

    virtual void startDownload(download::DownloadSettings& settings) = 0;
    virtual std::int32_t bytesDone() const = 0;
    virtual std::int32_t currentSpeed() const = 0;
    virtual std::int32_t overallRate() const = 0;
    virtual std::int64_t fileSize(const QString& path) const = 0;
    virtual std::uint32_t tickCount() const = 0;
};

// The program's own: the download component's Downloader of the update state, the file system
// and the system tick count.
UpdateServices& componentServices();

} // namespace sorvo::update

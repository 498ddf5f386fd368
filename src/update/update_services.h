#pragma once

#include "download/download_settings.h"

#include <cstdint>

namespace sorvo::update {

// What the update window's handlers ask of the world outside the window: the download
// component and the system clock.
class UpdateServices {
  public:
    virtual ~UpdateServices() = default;

    // Stops a running download; none of its events arrive afterwards.
    virtual void stopDownload() = 0;
    virtual void startDownload(download::DownloadSettings& settings) = 0;
    virtual std::int64_t bytesDone() const = 0;
    // Bytes of the package that this download has put on disk.
    virtual std::int64_t bytesStored() const = 0;
    virtual std::int64_t currentSpeed() const = 0;
    virtual std::int64_t overallRate() const = 0;
    virtual std::uint32_t tickCount() const = 0;
};

// The program's own: the download component's Downloader of the update state and the system
// tick count.
UpdateServices& componentServices();

} // namespace sorvo::update

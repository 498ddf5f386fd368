#pragma once

#include "download/download_settings.h"
#include "download/downloader.h"

#include <QElapsedTimer>
#include <cstdint>

namespace sorvo::update {

// What an update asks of the world outside it: a download slot and a clock.
class UpdateServices {
  public:
    virtual ~UpdateServices() = default;

    // Stops a running download; none of its events arrive afterwards.
    virtual void stopDownload() = 0;
    // Starts one; its events come through the hooks of `settings`, on another thread.
    virtual void startDownload(download::DownloadSettings& settings) = 0;
    virtual std::int64_t bytesDone() const = 0;
    // Bytes of the package that this download has put on disk.
    virtual std::int64_t bytesStored() const = 0;
    virtual std::int64_t currentSpeed() const = 0;
    virtual std::int64_t overallRate() const = 0;
    // Milliseconds on a clock that never goes back.
    virtual std::int64_t nowMs() const = 0;
};

// The download component's one slot of the program and the monotonic clock.
class DownloadComponent final : public UpdateServices {
  public:
    DownloadComponent();

    void stopDownload() override;
    void startDownload(download::DownloadSettings& settings) override;
    std::int64_t bytesDone() const override;
    std::int64_t bytesStored() const override;
    std::int64_t currentSpeed() const override;
    std::int64_t overallRate() const override;
    std::int64_t nowMs() const override;

  private:
    download::Downloader downloader_;
    QElapsedTimer clock_;
};

} // namespace sorvo::update

#pragma once

#include "download/download_settings.h"
#include "download/hooks.h"

#include <cstdint>
#include <memory>

namespace sorvo::download {

// One download slot: at most one transfer at a time, run on a worker thread of its own.
// A Downloader starts empty; destroying it releases it. The counters below may be read from any
// thread at any time; values beyond INT32_MAX read as INT32_MAX.
class Downloader {
  public:
    Downloader();
    ~Downloader();
    Downloader(const Downloader&) = delete;
    Downloader& operator=(const Downloader&) = delete;

    struct State;

  private:
    std::unique_ptr<State> state_;

    friend void startDownload(Downloader&, DownloadSettings&);
    friend int32_t bytesDone(const Downloader&);
    friend int32_t bytesStored(const Downloader&);
    friend int32_t currentSpeed(const Downloader&);
    friend void release(Downloader&);
};

// Starts downloading settings.url to settings.path and returns at once. A transfer still running
// on this Downloader is cancelled first (it reports Failed with MessageCode::Cancelled) and its
// thread joined, so two transfers never write one file. Called from inside one of this
// Downloader's hooks, it starts nothing and reports Failed (Refused) through the new settings'
// hooks.
void startDownload(Downloader&, DownloadSettings&);

// Bytes of the package received and kept so far; back to 0 when the package starts over.
int32_t bytesDone(const Downloader&);

// Bytes of the package that the running or last transfer has written to its file; all of them
// once the package is in place. Back to 0 when the package starts over.
int32_t bytesStored(const Downloader&);

// Bytes per second received over the last two seconds.
int32_t currentSpeed(const Downloader&);

// Bytes per second of the whole component over its current busy period: all bytes received by
// every Downloader since the component last went from idle to busy, divided by the time since
// then. When idle it keeps the figure of the last busy period; 0 before the first.
int32_t overallRate();

// Stops a running transfer (it reports Failed with MessageCode::Cancelled), waits for its
// thread and returns; no hook of that transfer runs afterwards. Does nothing when idle. Called
// from inside one of this Downloader's hooks, it only asks the transfer to stop.
void release(Downloader&);

} // namespace sorvo::download

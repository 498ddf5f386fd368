#pragma once

#include "download/download_settings.h"
#include "download/hooks.h"

#include <cstdint>
#include <memory>

namespace sorvo::download {

// One download slot: at most one transfer at a time reports through its hooks and counters.
//
// Threading: each transfer runs on a worker thread of its own. release and startDownload stop
// the running transfer and return at once, whatever it is doing (a name lookup that never
// answers, a silent server, a disk that is slow to sync): from their return on, no hook of that
// transfer runs and it reports nothing more. Its worker then ends alone, removing its ".part"; a
// new transfer on the same Downloader waits on its own worker until that is done, so two
// transfers never write one file. The Downloader's end stops its transfer and joins every worker
// it started: a stopped worker leaves a lookup or a connection at once and is gone within
// moments, a sync under way being the one thing it finishes first. A Downloader must not be
// destroyed from inside one of its own hooks.
//
// A transfer that failed for a reason a later try may get past keeps its ".part" (see Failed in
// hooks.h). The next startDownload on the same Downloader continues it when it downloads the
// same address to the same target and the file is untouched since: SizeKnown comes at once,
// the counters start at the kept bytes, and the server is asked for the rest (Range guarded by
// If-Range; a server that sends the whole package instead starts it over). Any other start,
// and the Downloader's end, remove the kept file.
//
// The functions below may be called from any thread; the counters may be read at any time.
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
    friend int64_t bytesDone(const Downloader&);
    friend int64_t bytesStored(const Downloader&);
    friend int64_t currentSpeed(const Downloader&);
    friend void release(Downloader&);
};

// Starts downloading settings.url to settings.path and returns at once. A transfer still running
// on this Downloader is stopped first, as by release; what the last one kept is continued or
// removed (see above). Called from inside one of this Downloader's hooks, it starts nothing and
// reports Failed (Refused) through the new settings' hooks.
void startDownload(Downloader&, DownloadSettings&);

// Bytes of the package received and kept so far, those a resumed transfer continues from
// included; back to 0 when the package starts over.
int64_t bytesDone(const Downloader&);

// Bytes of the package that the current (or last) transfer has written to its file so far, not
// counting those still gathered in memory for the next write: 0 at the start (the kept bytes
// when it resumes) and after a start over or a failure, the package's size once it is in place. A
// file left at the path by an earlier download never counts.
int64_t bytesStored(const Downloader&);

// Bytes per second received over the last two seconds.
int64_t currentSpeed(const Downloader&);

// Bytes per second of the whole component over its current busy period: all bytes received by
// every Downloader since the component last went from idle to busy, divided by the time since
// then. When idle it keeps the figure of the last busy period; 0 before the first.
int64_t overallRate();

// Stops the running transfer and returns at once: no hook of it runs afterwards (a hook running
// on the worker is waited for) and it reports nothing more. Does nothing when idle. Called from
// inside one of this Downloader's hooks, it only asks the transfer to stop, which then ends with
// Failed (Cancelled).
void release(Downloader&);

} // namespace sorvo::download

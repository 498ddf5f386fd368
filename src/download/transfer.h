#pragma once

#include "download/cancel_signal.h"
#include "download/download_settings.h"
#include "download/failure.h"
#include "download/part_file.h"
#include "download/progress.h"
#include "download/reporter.h"

#include <chrono>
#include <cstdint>

namespace sorvo::download {

// One download from start to end on the worker thread: attempts, retries with resume, and the
// single Finished or Failed that closes it.
class Transfer {
  public:
    Transfer(DownloadSettings settings, Progress& progress, CancelSignal& cancel);

    void run();

  private:
    bool retryAllowed(int32_t retriesMade, std::chrono::steady_clock::time_point lastData) const;
    void finish();
    void fail(const Failure& failure);

    const DownloadSettings settings_;
    Progress& progress_;
    CancelSignal& cancel_;
    Reporter reporter_;
    PartFile file_;
};

} // namespace sorvo::download

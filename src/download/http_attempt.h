#pragma once

#include "download/cancel_signal.h"
#include "download/curl_handles.h"
#include "download/download_settings.h"
#include "download/failure.h"
#include "download/low_speed.h"
#include "download/pacer.h"
#include "download/part_file.h"
#include "download/progress.h"
#include "download/rate_cap.h"
#include "download/reporter.h"
#include "download/request.h"
#include "download/response_head.h"

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace sorvo::download {

// What a transfer learns about the package and keeps between its attempts.
struct PackageState {
    int64_t total = -1;    // announced size; -1 while unknown
    std::string validator; // If-Range value of the package on disk; empty: cannot resume
};

// One HTTP request for the package, its answer written to the part file as it arrives.
class HttpAttempt : private RequestLoop {
  public:
    using RequestLoop::Clock;

    HttpAttempt(const DownloadSettings& settings, PartFile& file, Progress& progress,
                Reporter& reporter, CancelSignal& cancel, LowSpeedLimit lowSpeed);

    // Asks for the whole package, or, when resume is allowed and the part file holds a package
    // with a validator, for the rest of it.
    AttemptResult run(PackageState& package, bool resume);

    // When the last byte of the package arrived, or the first attempt began. A body that only
    // trickled in counts as silence.
    Clock::time_point lastDataAt() const { return lastData_; }

  private:
    static size_t headerCallback(char* data, size_t size, size_t count, void* self);
    static size_t writeCallback(char* data, size_t size, size_t count, void* self);

    EasyHandle makeRequest(curl_slist* headers);
    void beforePoll(CURL* easy) override;
    int pollTimeoutMs() const override;
    std::optional<AttemptResult> interruption() override;
    bool waitingForServer() const override { return !paused_; }
    bool paced(size_t size);
    bool onHeaderLine(std::string_view line);
    bool beginBody();
    bool beginWhole();
    bool beginRest();
    bool adopt(int64_t total);
    bool overCap(int64_t size) const;
    bool onBody(const char* data, size_t size);
    bool stop(AttemptResult result);
    AttemptResult classify(CURLcode code, CURL* easy) const;
    AttemptResult httpError(long status) const;

    const DownloadSettings& settings_;
    PartFile& file_;
    Progress& progress_;
    Reporter& reporter_;
    CancelSignal& cancel_;
    const RateCap cap_;
    std::optional<Pacer> pacer_;
    LowSpeedGuard lowSpeed_;
    Clock::time_point lastData_;

    // State of the current request.
    PackageState* package_ = nullptr;
    bool rangeRequested_ = false;
    std::string rangeText_;
    ResponseHead head_;
    bool bodyStarted_ = false;
    bool paused_ = false; // held back by the pacer, not waiting for the server
    char errorText_[CURL_ERROR_SIZE] = {};
};

} // namespace sorvo::download

#pragma once

#include "download/cancel_signal.h"
#include "download/curl_handles.h"
#include "download/download_settings.h"
#include "download/failure.h"

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

namespace sorvo::download {

// The protocols a redirect from url may lead to: https stays https.
const char* redirectProtocolsFrom(const std::string& url);

// A request for url with what every request of a transfer shares: the protocols and redirects,
// the login, the connect timeout and the user agent. libcurl's own message of a failure goes to
// errorText. A request whose name lookup is still running is let go without waiting for it.
EasyHandle newRequest(const std::string& url, const DownloadSettings& settings,
                      char (&errorText)[CURL_ERROR_SIZE]);

// Drives one request to its end on a multi handle of its own, so that the worker regains
// control between polls, whatever the connection does, and at once when the cancel signal is
// raised. A request that hears nothing from the server for noDataTimeoutMs (0 or less: no limit)
// while waiting for it ends as a transient failure.
class RequestLoop {
  public:
    using Clock = std::chrono::steady_clock;

    explicit RequestLoop(int32_t noDataTimeoutMs) : noDataTimeoutMs_(noDataTimeoutMs) {}
    virtual ~RequestLoop() = default;

  protected:
    // libcurl's result; CURLE_ABORTED_BY_CALLBACK with stopped_ set when the loop was left early.
    CURLcode perform(CURL* easy, CancelSignal& cancel);

    // The server was heard from at that time.
    void heardAt(Clock::time_point now) { lastActivity_ = now; }
    // Asked before each poll; a result ends the request with it.
    virtual std::optional<AttemptResult> interruption() { return {}; }
    // Runs before each poll, to resume a paused transfer.
    virtual void beforePoll(CURL*) {}
    // The longest the next poll may wait.
    virtual int pollTimeoutMs() const;
    // False while the request is held back on purpose, not waiting for the server.
    virtual bool waitingForServer() const { return true; }

    std::optional<AttemptResult> stopped_; // why the request was ended early

  private:
    std::optional<AttemptResult> silence(Clock::time_point now) const;

    const int32_t noDataTimeoutMs_;
    Clock::time_point lastActivity_;
};

} // namespace sorvo::download

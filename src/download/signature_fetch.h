#pragma once

#include "download/cancel_signal.h"
#include "download/download_settings.h"
#include "download/failure.h"
#include "download/low_speed.h"
#include "download/request.h"

#include <string>
#include <string_view>

namespace sorvo::download {

// Fetches the package's signature file, "<address>.minisig", into memory: at most a few KiB,
// and under the same guards as the package, silence and a trickle.
class SignatureFetch : private RequestLoop {
  public:
    SignatureFetch(const DownloadSettings& settings, CancelSignal& cancel, LowSpeedLimit lowSpeed);

    // Complete with the file's text in text, or why it did not come.
    AttemptResult run(std::string& text);

  private:
    static size_t headerCallback(char* data, size_t size, size_t count, void* self);
    static size_t writeCallback(char* data, size_t size, size_t count, void* self);
    bool onBody(std::string_view data);
    std::optional<AttemptResult> interruption() override;
    AttemptResult classify(CURLcode code, CURL* easy) const;

    const DownloadSettings& settings_;
    CancelSignal& cancel_;
    const std::string url_;
    LowSpeedGuard lowSpeed_;
    std::string* text_ = nullptr;
    char errorText_[CURL_ERROR_SIZE] = {};
};

} // namespace sorvo::download

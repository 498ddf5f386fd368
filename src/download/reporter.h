#pragma once

#include "download/download_settings.h"
#include "download/failure.h"
#include "download/hook_gate.h"

#include <cstdint>

namespace sorvo::download {

// Turns what happens to a transfer into calls of its hooks, through the transfer's gate; hooks
// that are not set are skipped.
class Reporter {
  public:
    Reporter(const DownloadSettings& settings, HookGate& gate);

    void sizeKnown(int64_t total);
    void finished(int64_t size, const FileIdentity& file);
    void retrying(int32_t retry, const Failure& why, int64_t keptBytes);
    void failed(const Failure& failure, int64_t receivedBytes);

  private:
    void event(const Event& event);
    void message(const Failure& failure);

    const DownloadSettings& settings_;
    HookGate& gate_;
};

} // namespace sorvo::download

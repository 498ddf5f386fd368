#pragma once

#include "download/content_verifier.h"
#include "download/download_settings.h"
#include "download/failure.h"
#include "download/job.h"
#include "download/low_speed.h"
#include "download/minisign_format.h"
#include "download/part_file.h"
#include "download/reporter.h"

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>

namespace sorvo::download {

// One download from start to end on the worker thread: the signature when a key is set,
// attempts, retries with resume, the check against the signature, and the single Finished or
// Failed that closes it.
class Transfer : private WriteWatcher {
  public:
    Transfer(DownloadSettings settings, Job& job, LowSpeedLimit lowSpeed = {});

    void run();

  private:
    std::optional<Failure> refusal();
    AttemptResult fetchSignature();
    bool retryAllowed(int32_t retriesMade, std::chrono::steady_clock::time_point lastData) const;
    void finish();
    void fail(const Failure& failure);
    void emptying() override;
    void written(int64_t end) override;

    const DownloadSettings settings_;
    Job& job_;
    const LowSpeedLimit lowSpeed_;
    Reporter reporter_;
    PartFile file_;
    std::optional<PublicKey> key_;
    std::unique_ptr<ContentVerifier> verifier_; // stopped before the file is closed
};

} // namespace sorvo::download

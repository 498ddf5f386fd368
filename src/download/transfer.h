#pragma once

#include "download/content_verifier.h"
#include "download/download_settings.h"
#include "download/failure.h"
#include "download/http_attempt.h"
#include "download/job.h"
#include "download/low_speed.h"
#include "download/minisign_format.h"
#include "download/part_file.h"
#include "download/reporter.h"
#include "download/resume_point.h"

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>

namespace sorvo::download {

// One download from start to end on the worker thread: the signature when a key is set,
// attempts, retries with resume, the check against the signature, and the single Finished or
// Failed that closes it. A failure that a later try may get past leaves the part file and a
// resume point in the Job.
class Transfer : private WriteWatcher {
  public:
    Transfer(DownloadSettings settings, Job& job, LowSpeedLimit lowSpeed = {});

    // previous: what the transfer before this one on the Downloader kept for resuming. This
    // transfer continues it when it downloads the same address to the same target; otherwise
    // the kept part file is removed.
    void run(std::unique_ptr<ResumePoint> previous = nullptr);

  private:
    std::optional<Failure> refusal();
    void takeUp(ResumePoint& previous);
    AttemptResult fetchSignature();
    bool retryAllowed(int32_t retriesMade, std::chrono::steady_clock::time_point lastData) const;
    void finish();
    // partFits: the bytes on disk still belong to the package the server has.
    void fail(const Failure& failure, bool partFits = true);
    void putAside(const Failure& failure, bool partFits);
    void emptying() override;
    void written(int64_t end) override;

    const DownloadSettings settings_;
    Job& job_;
    const LowSpeedLimit lowSpeed_;
    Reporter reporter_;
    PartFile file_;
    PackageState package_;
    std::optional<PublicKey> key_;
    std::unique_ptr<ContentVerifier> verifier_; // stopped before the file is closed
};

} // namespace sorvo::download

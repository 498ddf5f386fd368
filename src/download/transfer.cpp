#include "download/transfer.h"

#include "download/component_rate.h"
#include "download/safe_file.h"
#include "download/signature_fetch.h"
#include "download/type_list.h"

#include <algorithm>

namespace sorvo::download {

namespace {

constexpr int32_t largestWriteBuffer = 1 << 20;

std::size_t writeBufferOf(const DownloadSettings& settings) {
    return static_cast<std::size_t>(std::clamp(settings.writeBufferSize, 1, largestWriteBuffer));
}

Failure targetFailure(const std::string& path, std::error_code error) {
    if (error.category() == unsafeTargetCategory())
        return {MessageCode::TargetUnsafe, "will not write " + path + ": " + error.message()};
    const std::string why = error == std::errc::device_or_resource_busy
                                ? "another download is writing it"
                                : error.message();
    return {MessageCode::TargetUnusable, "cannot write " + path + ": " + why};
}

} // namespace

Transfer::Transfer(DownloadSettings settings, Job& job, LowSpeedLimit lowSpeed)
    : settings_(std::move(settings)), job_(job), lowSpeed_(lowSpeed),
      reporter_(settings_, job.hooks), file_(settings_.path, writeBufferOf(settings_), *this) {}

void Transfer::run(std::unique_ptr<ResumePoint> previous) {
    const auto refused = refusal();
    // Removed before this transfer opens its own part file, which may have the same name.
    if (previous && (refused || !settings_.resumeOnRetry ||
                     !previous->continues(settings_.url, settings_.path)))
        previous.reset();
    if (refused) return fail(*refused);
    const auto kept = previous ? std::optional(previous->kept().part) : std::nullopt;
    if (auto error = file_.open(kept)) return fail(targetFailure(settings_.path, error));
    if (file_.size() > 0) takeUp(*previous);
    // Not taken up, the kept file was changed and is now this transfer's.
    previous.reset();
    const ComponentRate::Busy busy;

    HttpAttempt attempt(settings_, file_, job_.progress, reporter_, job_.cancel, lowSpeed_);
    bool resume = file_.size() > 0;
    for (int32_t retries = 0;; ++retries) {
        AttemptResult result = key_ && !verifier_ ? fetchSignature() : AttemptResult();
        if (result.outcome == Outcome::Complete) result = attempt.run(package_, resume);
        if (result.outcome == Outcome::Complete) return finish();
        if (result.outcome != Outcome::Transient || !retryAllowed(retries, attempt.lastDataAt()))
            return fail(result.failure, !result.startOver);
        resume = settings_.resumeOnRetry && !result.startOver;
        reporter_.retrying(retries + 1, result.failure, file_.size());
        if (!job_.cancel.sleepFor(std::chrono::milliseconds(std::max(settings_.retryDelayMs, 0))))
            return fail(cancelled().failure);
    }
}

std::optional<Failure> Transfer::refusal() {
    if (settings_.url.empty()) return Failure{MessageCode::Refused, "no address to download from"};
    if (settings_.path.empty()) return Failure{MessageCode::Refused, "no file to write to"};
    if (!typeAllowed(settings_.path, settings_.typeList))
        return Failure{MessageCode::Refused,
                       "this type of file may not be downloaded: " + settings_.path};
    if (settings_.publicKey.empty()) {
        if (settings_.allowUnsigned) return {};
        return Failure{MessageCode::Unsigned,
                       "no key to check the package's signature with, and unsigned packages are "
                       "not allowed"};
    }
    key_ = parsePublicKey(settings_.publicKey);
    if (!key_) return Failure{MessageCode::Refused, "the public key is not a minisign key"};
    if (settings_.packageName.empty() || !newerVersion(settings_.currentVersion, "0"))
        return Failure{MessageCode::Refused,
                       "a signed package needs its file name and the client's own version "
                       "(dotted numbers) to be checked against"};
    return {};
}

// The part file is the one the previous transfer kept: its bytes count from the start, and the
// listener learns the package's size at once, as the server will not say it again unless it
// changed.
void Transfer::takeUp(ResumePoint& previous) {
    previous.takeUp();
    const KeptPackage& kept = previous.kept();
    package_ = {kept.total, kept.validator};
    job_.progress.resumedAt(file_.size());
    if (kept.total >= 0) reporter_.sizeKnown(kept.total);
}

// The signature comes first: it is small, a package without one need not be downloaded, and the
// package is checked as it is written.
AttemptResult Transfer::fetchSignature() {
    std::string text;
    AttemptResult result = SignatureFetch(settings_, job_.cancel, lowSpeed_).run(text);
    if (result.outcome != Outcome::Complete) return result;
    auto parsed = parseSignatureFile(text);
    if (auto* error = std::get_if<std::string>(&parsed))
        return fatal(MessageCode::SignatureMalformed, "the signature cannot be read: " + *error);
    auto check = SignatureCheck::prepare(*key_, std::get<SignatureFile>(parsed),
                                         {settings_.packageName, settings_.currentVersion});
    if (auto* failure = std::get_if<Failure>(&check)) return {Outcome::Fatal, *failure};
    verifier_ = std::make_unique<ContentVerifier>(file_.descriptor(),
                                                  std::move(std::get<SignatureCheck>(check)));
    // A package continued from a kept part is checked whole, the kept bytes too.
    verifier_->written(file_.flushedSize());
    return {};
}

bool Transfer::retryAllowed(int32_t retriesMade,
                            std::chrono::steady_clock::time_point lastData) const {
    if (retriesMade >= settings_.maxRetries) return false;
    if (settings_.retryWindowMs <= 0) return true;
    return std::chrono::steady_clock::now() - lastData <
           std::chrono::milliseconds(settings_.retryWindowMs);
}

void Transfer::finish() {
    const int64_t size = file_.size();
    if (auto error = file_.flushAndSync())
        return fail(writeFailure("cannot store the package", error));
    if (verifier_) {
        const auto matches = verifier_->verify(size, job_.cancel);
        if (!matches) return fail(cancelled().failure);
        if (!*matches)
            return fail({MessageCode::SignatureMismatch,
                         "the package does not match its signature: it was changed, cut short "
                         "or lengthened, or the signature is another file's"});
    }
    FileIdentity placed;
    if (auto error = file_.commit(placed)) {
        if (error.category() == unsafeTargetCategory())
            return fail(targetFailure(settings_.path, error));
        return fail(writeFailure("cannot put the package in place", error));
    }
    job_.progress.stored(size);
    reporter_.finished(size, placed);
}

void Transfer::fail(const Failure& failure, bool partFits) {
    verifier_.reset();
    putAside(failure, partFits);
    job_.progress.stored(0);
    reporter_.failed(failure, job_.progress.bytesDone());
}

// Keeps the part file for the next start when a later try may get past the failure and the
// server can be asked for the rest of this very package. A stopped transfer keeps nothing.
void Transfer::putAside(const Failure& failure, bool partFits) {
    const bool worthKeeping = partFits && worthResuming(failure.code) && settings_.resumeOnRetry &&
                              !package_.validator.empty() && !job_.cancel.raised();
    if (!worthKeeping) return file_.discard();
    if (auto part = file_.keep())
        job_.resume = std::make_unique<ResumePoint>(
            KeptPackage{settings_.url, settings_.path, package_.validator, package_.total, *part});
}

void Transfer::emptying() {
    if (verifier_) verifier_->emptying();
    job_.progress.stored(0);
}

void Transfer::written(int64_t end) {
    if (verifier_) verifier_->written(end);
    job_.progress.stored(end);
}

} // namespace sorvo::download

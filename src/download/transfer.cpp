#include "download/transfer.h"

#include "download/component_rate.h"
#include "download/http_attempt.h"
#include "download/type_list.h"

#include <algorithm>
#include <optional>

namespace sorvo::download {

namespace {

constexpr int32_t largestWriteBuffer = 1 << 20;

std::size_t writeBufferOf(const DownloadSettings& settings) {
    return static_cast<std::size_t>(std::clamp(settings.writeBufferSize, 1, largestWriteBuffer));
}

std::optional<Failure> refusalOf(const DownloadSettings& settings) {
    if (settings.url.empty()) return Failure{MessageCode::Refused, "no address to download from"};
    if (settings.path.empty()) return Failure{MessageCode::Refused, "no file to write to"};
    if (!typeAllowed(settings.path, settings.typeList))
        return Failure{MessageCode::Refused,
                       "this type of file may not be downloaded: " + settings.path};
    return {};
}

Failure targetUnusable(const std::string& path, std::error_code error) {
    const std::string why = error == std::errc::device_or_resource_busy
                                ? "another download is writing it"
                                : error.message();
    return {MessageCode::TargetUnusable, "cannot write " + path + ": " + why};
}

} // namespace

Transfer::Transfer(DownloadSettings settings, Progress& progress, CancelSignal& cancel)
    : settings_(std::move(settings)), progress_(progress), cancel_(cancel), reporter_(settings_),
      file_(settings_.path, writeBufferOf(settings_)) {}

void Transfer::run() {
    if (auto refusal = refusalOf(settings_)) return fail(*refusal);
    if (auto error = file_.open()) return fail(targetUnusable(settings_.path, error));
    const ComponentRate::Busy busy;

    HttpAttempt attempt(settings_, file_, progress_, reporter_, cancel_);
    PackageState package;
    bool resume = false;
    for (int32_t retries = 0;; ++retries) {
        const AttemptResult result = attempt.run(package, resume);
        if (result.outcome == Outcome::Complete) return finish();
        if (result.outcome != Outcome::Transient || !retryAllowed(retries, attempt.lastDataAt()))
            return fail(result.failure);
        resume = settings_.resumeOnRetry != 0 && !result.startOver;
        reporter_.retrying(retries + 1, result.failure, file_.size());
        if (!cancel_.sleepFor(std::chrono::milliseconds(std::max(settings_.retryDelayMs, 0))))
            return fail(cancellation());
    }
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
    if (auto error = file_.commit())
        return fail({MessageCode::WriteFailed, "cannot store the package: " + error.message()});
    progress_.stored(size);
    reporter_.finished(size);
}

void Transfer::fail(const Failure& failure) {
    file_.discard();
    reporter_.failed(failure, progress_.bytesDone());
}

} // namespace sorvo::download

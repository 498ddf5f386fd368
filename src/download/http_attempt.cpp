#include "download/http_attempt.h"

#include <algorithm>
#include <string>

namespace sorvo::download {

namespace {

AttemptResult unexpectedAnswer(long status) {
    return fatal(MessageCode::BadAnswer,
                 "the server answered " + std::to_string(status) + " instead of the package",
                 status);
}

} // namespace

HttpAttempt::HttpAttempt(const DownloadSettings& settings, PartFile& file, Progress& progress,
                         Reporter& reporter, CancelSignal& cancel, LowSpeedLimit lowSpeed)
    : RequestLoop(settings.noDataTimeoutMs), settings_(settings), file_(file), progress_(progress),
      reporter_(reporter), cancel_(cancel), cap_(rateCapFor(settings)), lowSpeed_(lowSpeed),
      lastData_(Clock::now()) {
    if (cap_.bytesPerSecond > 0) pacer_.emplace(cap_.bytesPerSecond, cap_.receiveBufferSize);
}

AttemptResult HttpAttempt::run(PackageState& package, bool resume) {
    package_ = &package;
    rangeRequested_ = resume && file_.size() > 0 && !package.validator.empty();
    head_ = ResponseHead();
    bodyStarted_ = false;
    paused_ = false;

    HeaderList headers;
    if (rangeRequested_) {
        rangeText_ = std::to_string(file_.size()) + "-";
        headers.reset(curl_slist_append(nullptr, ("If-Range: " + package.validator).c_str()));
    }
    const EasyHandle easy = makeRequest(headers.get());
    const auto now = Clock::now();
    lowSpeed_.restart(now);
    if (pacer_) pacer_->start(now);
    const CURLcode code = perform(easy.get(), cancel_);
    return classify(code, easy.get());
}

EasyHandle HttpAttempt::makeRequest(curl_slist* headers) {
    EasyHandle easy = newRequest(settings_.url, settings_, errorText_);
    CURL* h = easy.get();
    curl_easy_setopt(h, CURLOPT_BUFFERSIZE, cap_.receiveBufferSize);
    if (rangeRequested_) {
        curl_easy_setopt(h, CURLOPT_RANGE, rangeText_.c_str());
        curl_easy_setopt(h, CURLOPT_HTTPHEADER, headers);
    }
    curl_easy_setopt(h, CURLOPT_HEADERFUNCTION, &HttpAttempt::headerCallback);
    curl_easy_setopt(h, CURLOPT_HEADERDATA, this);
    curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, &HttpAttempt::writeCallback);
    curl_easy_setopt(h, CURLOPT_WRITEDATA, this);
    return easy;
}

// Unpausing hands curl's held data to the write callback at once, which the pacer now takes.
void HttpAttempt::beforePoll(CURL* easy) {
    if (!paused_ || Clock::now() < pacer_->readyAt()) return;
    paused_ = false;
    heardAt(Clock::now());
    curl_easy_pause(easy, CURLPAUSE_CONT);
}

int HttpAttempt::pollTimeoutMs() const {
    const int longest = RequestLoop::pollTimeoutMs();
    if (!paused_) return longest;
    const auto wait =
        std::chrono::ceil<std::chrono::milliseconds>(pacer_->readyAt() - Clock::now());
    return static_cast<int>(std::clamp<int64_t>(wait.count(), 0, longest));
}

std::optional<AttemptResult> HttpAttempt::interruption() {
    const auto now = Clock::now();
    if (!lowSpeed_.stalled(now)) return {};
    // The trickle counts as silence, so that the retry window can close on it.
    lastData_ = now - lowSpeed_.limit().span;
    return tooSlow(lowSpeed_.limit());
}

size_t HttpAttempt::headerCallback(char* data, size_t size, size_t count, void* self) {
    const size_t bytes = size * count;
    return static_cast<HttpAttempt*>(self)->onHeaderLine({data, bytes}) ? bytes : 0;
}

size_t HttpAttempt::writeCallback(char* data, size_t size, size_t count, void* self) {
    const size_t bytes = size * count;
    auto* attempt = static_cast<HttpAttempt*>(self);
    if (!attempt->paced(bytes)) return CURL_WRITEFUNC_PAUSE;
    return attempt->onBody(data, bytes) ? bytes : 0;
}

// libcurl's own cap lets a burst of up to a hundred reads through before it waits, far more
// than a second's worth under the low caps; pausing read by read holds the rate evenly.
bool HttpAttempt::paced(size_t size) {
    if (!pacer_ || pacer_->take(static_cast<int64_t>(size), Clock::now())) return true;
    paused_ = true;
    return false;
}

bool HttpAttempt::onHeaderLine(std::string_view line) {
    heardAt(Clock::now());
    // Trailers after a chunked body come this way too; they do not start another body.
    if (bodyStarted_) return true;
    if (!head_.addLine(line)) return true;
    // Heads of redirects and interim answers end too; only a success brings the package.
    const int status = head_.status();
    if (status < 200 || status >= 300) return true;
    return beginBody();
}

bool HttpAttempt::beginBody() {
    // libcurl would read a length too large for a number as no length at all.
    if (!head_.lengthValid())
        return stop(fatal(MessageCode::BadAnswer,
                          "the server announced a length that is not a usable number",
                          head_.status()));
    switch (head_.status()) {
    case 200:
        return beginWhole();
    case 206:
        return beginRest();
    default:
        return stop(unexpectedAnswer(head_.status()));
    }
}

// The whole package follows: whatever is on disk belongs to an older try and goes.
bool HttpAttempt::beginWhole() {
    if (file_.size() > 0) {
        if (auto error = file_.startOver())
            return stop({Outcome::Fatal, writeFailure("cannot empty the file", error)});
        progress_.startedOver();
    }
    return adopt(head_.contentLength());
}

// The rest of the package follows, and must continue exactly where the file ends.
bool HttpAttempt::beginRest() {
    const auto& range = head_.contentRange();
    const bool continuesFile = rangeRequested_ && range && range->first == file_.size() &&
                               (package_->total < 0 || range->total == package_->total);
    if (!continuesFile) {
        AttemptResult result =
            transient(MessageCode::BadAnswer,
                      "the server sent a part that does not continue the file", head_.status());
        result.startOver = true;
        return stop(std::move(result));
    }
    return adopt(range->total);
}

// A package over the cap is refused from its announced size, before a byte of it is written.
bool HttpAttempt::adopt(int64_t total) {
    if (overCap(total)) return stop(tooLarge(total, settings_.maxBytes));
    package_->validator = head_.validator();
    if (total >= 0 && total != package_->total) reporter_.sizeKnown(total);
    package_->total = total;
    bodyStarted_ = true;
    return true;
}

bool HttpAttempt::overCap(int64_t size) const {
    return settings_.maxBytes > 0 && size > settings_.maxBytes;
}

bool HttpAttempt::onBody(const char* data, size_t size) {
    if (cancel_.raised()) return stop(cancelled());
    // A final answer that is neither a success nor an error, such as a redirect without a
    // target, has a body too; it is not the package.
    if (!bodyStarted_) return stop(unexpectedAnswer(head_.status()));
    // Without an announced length, the body itself shows the package too large.
    if (const int64_t grown = file_.size() + static_cast<int64_t>(size); overCap(grown))
        return stop(tooLarge(grown, settings_.maxBytes));
    if (auto error = file_.append(data, size))
        return stop({Outcome::Fatal, writeFailure("cannot write the package", error)});
    const auto now = Clock::now();
    progress_.received(static_cast<int64_t>(size));
    lowSpeed_.add(static_cast<int64_t>(size), now);
    heardAt(now);
    lastData_ = now;
    return true;
}

bool HttpAttempt::stop(AttemptResult result) {
    stopped_ = std::move(result);
    return false;
}

AttemptResult HttpAttempt::classify(CURLcode code, CURL* easy) const {
    if (stopped_) return *stopped_;
    long status = 0;
    curl_easy_getinfo(easy, CURLINFO_RESPONSE_CODE, &status);
    if (code == CURLE_OK) {
        if (!bodyStarted_) return unexpectedAnswer(status);
        if (package_->total >= 0 && file_.size() != package_->total)
            return transient(MessageCode::ConnectionLost,
                             "the package ended after " + std::to_string(file_.size()) + " of " +
                                 std::to_string(package_->total) + " bytes");
        return {};
    }
    if (code == CURLE_HTTP_RETURNED_ERROR) return httpError(status);
    return curlFailure(code, errorText_[0] != '\0' ? errorText_ : curl_easy_strerror(code), status);
}

AttemptResult HttpAttempt::httpError(long status) const {
    const std::string text = "the server answered " + std::to_string(status);
    if (status == 416 && rangeRequested_) {
        AttemptResult result = transient(MessageCode::HttpError, text, status);
        result.startOver = true;
        return result;
    }
    return statusFailure(status, MessageCode::HttpError, text);
}

} // namespace sorvo::download

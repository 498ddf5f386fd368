#include "download/http_attempt.h"

#include <algorithm>
#include <string>

namespace sorvo::download {

namespace {

constexpr long maxRedirects = 10;
constexpr char defaultUserAgent[] = "SorvoRadio/1.0";

// How long the worker waits on the connection before it looks at the cancel signal and the
// no-data timer again; it bounds how long release waits.
constexpr int pollMs = 100;

bool isTransientCurlError(CURLcode code) {
    switch (code) {
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_CONNECT:
    case CURLE_OPERATION_TIMEDOUT:
    case CURLE_PARTIAL_FILE:
    case CURLE_RECV_ERROR:
    case CURLE_SEND_ERROR:
    case CURLE_GOT_NOTHING:
    case CURLE_HTTP2:
    case CURLE_HTTP2_STREAM:
    case CURLE_SSL_CONNECT_ERROR:
        return true;
    default:
        return false;
    }
}

// Request timeouts and rate limits: the answers a retry may well get past.
bool isTransientStatus(int status) {
    return status >= 500 || status == 408 || status == 429;
}

AttemptResult transient(MessageCode code, std::string text, long status = 0,
                        CURLcode curlCode = CURLE_OK) {
    return {Outcome::Transient, Failure{code, std::move(text), static_cast<int32_t>(status),
                                        static_cast<int32_t>(curlCode)}};
}

AttemptResult fatal(MessageCode code, std::string text, long status = 0,
                    CURLcode curlCode = CURLE_OK) {
    return {Outcome::Fatal, Failure{code, std::move(text), static_cast<int32_t>(status),
                                    static_cast<int32_t>(curlCode)}};
}

AttemptResult unexpectedAnswer(int status) {
    return fatal(MessageCode::BadAnswer,
                 "the server answered " + std::to_string(status) + " instead of the package",
                 status);
}

} // namespace

HttpAttempt::HttpAttempt(const DownloadSettings& settings, PartFile& file, Progress& progress,
                         Reporter& reporter, const CancelSignal& cancel)
    : settings_(settings), file_(file), progress_(progress), reporter_(reporter), cancel_(cancel),
      cap_(rateCapFor(settings)), lastData_(Clock::now()) {
    if (cap_.bytesPerSecond > 0) pacer_.emplace(cap_.bytesPerSecond, cap_.receiveBufferSize);
}

AttemptResult HttpAttempt::run(PackageState& package, bool resume) {
    package_ = &package;
    rangeRequested_ = resume && file_.size() > 0 && !package.validator.empty();
    head_ = ResponseHead();
    bodyStarted_ = false;
    stopped_.reset();
    paused_ = false;
    errorText_[0] = '\0';

    HeaderList headers;
    if (rangeRequested_) {
        rangeText_ = std::to_string(file_.size()) + "-";
        headers.reset(curl_slist_append(nullptr, ("If-Range: " + package.validator).c_str()));
    }
    const EasyHandle easy = makeRequest(headers.get());
    const CURLcode code = perform(easy.get());
    return classify(code, easy.get());
}

EasyHandle HttpAttempt::makeRequest(curl_slist* headers) {
    EasyHandle easy(curl_easy_init());
    CURL* h = easy.get();
    curl_easy_setopt(h, CURLOPT_URL, settings_.url.c_str());
    curl_easy_setopt(h, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(h, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(h, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(h, CURLOPT_MAXREDIRS, maxRedirects);
    // Error pages never reach the part file.
    curl_easy_setopt(h, CURLOPT_FAILONERROR, 1L);
    curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(h, CURLOPT_ERRORBUFFER, errorText_);
    curl_easy_setopt(h, CURLOPT_USERAGENT,
                     settings_.userAgent.empty() ? defaultUserAgent : settings_.userAgent.c_str());
    if (settings_.connectTimeoutMs > 0)
        curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT_MS,
                         static_cast<long>(settings_.connectTimeoutMs));
    if (!settings_.userName.empty()) {
        curl_easy_setopt(h, CURLOPT_USERNAME, settings_.userName.c_str());
        curl_easy_setopt(h, CURLOPT_PASSWORD, settings_.password.c_str());
    }
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

// Runs the request on a multi handle of its own so that the worker regains control every
// pollMs, whatever the connection does, and can resume a transfer the pacer held back.
CURLcode HttpAttempt::perform(CURL* easy) {
    const MultiHandle multi(curl_multi_init());
    curl_multi_add_handle(multi.get(), easy);
    lastActivity_ = Clock::now();
    if (pacer_) pacer_->start(lastActivity_);
    CURLcode result = CURLE_ABORTED_BY_CALLBACK;
    while (true) {
        resumeWhenDue(easy);
        int running = 0;
        if (const CURLMcode code = curl_multi_perform(multi.get(), &running); code != CURLM_OK) {
            stopped_ = fatal(MessageCode::BadAnswer, curl_multi_strerror(code));
            break;
        }
        if (running == 0) {
            int left = 0;
            while (const CURLMsg* msg = curl_multi_info_read(multi.get(), &left))
                if (msg->msg == CURLMSG_DONE) result = msg->data.result;
            break;
        }
        if (auto stop = interruption()) {
            stopped_ = std::move(stop);
            break;
        }
        curl_multi_poll(multi.get(), nullptr, 0, pollTimeoutMs(), nullptr);
    }
    curl_multi_remove_handle(multi.get(), easy);
    return result;
}

// Unpausing hands curl's held data to the write callback at once, which the pacer now takes.
void HttpAttempt::resumeWhenDue(CURL* easy) {
    if (!paused_ || Clock::now() < pacer_->readyAt()) return;
    paused_ = false;
    lastActivity_ = Clock::now();
    curl_easy_pause(easy, CURLPAUSE_CONT);
}

int HttpAttempt::pollTimeoutMs() const {
    if (!paused_) return pollMs;
    const auto wait =
        std::chrono::ceil<std::chrono::milliseconds>(pacer_->readyAt() - Clock::now());
    return static_cast<int>(std::clamp<int64_t>(wait.count(), 0, pollMs));
}

std::optional<AttemptResult> HttpAttempt::interruption() const {
    if (cancel_.raised()) return AttemptResult{Outcome::Cancelled, cancellation()};
    const auto quiet = Clock::now() - lastActivity_;
    if (!paused_ && settings_.noDataTimeoutMs > 0 &&
        quiet > std::chrono::milliseconds(settings_.noDataTimeoutMs))
        return transient(MessageCode::ConnectionLost,
                         "no data from the server for " +
                             std::to_string(settings_.noDataTimeoutMs) + " ms");
    return {};
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
    lastActivity_ = Clock::now();
    // Trailers after a chunked body come this way too; they do not start another body.
    if (bodyStarted_) return true;
    if (!head_.addLine(line)) return true;
    // Heads of redirects and interim answers end too; only a success brings the package.
    const int status = head_.status();
    if (status < 200 || status >= 300) return true;
    return beginBody();
}

bool HttpAttempt::beginBody() {
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
            return stop(
                fatal(MessageCode::WriteFailed, "cannot empty the file: " + error.message()));
        progress_.startedOver();
    }
    adopt(head_.contentLength());
    return true;
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
    adopt(range->total);
    return true;
}

void HttpAttempt::adopt(int64_t total) {
    package_->validator = head_.validator();
    if (total >= 0 && total != package_->total) reporter_.sizeKnown(total);
    package_->total = total;
    bodyStarted_ = true;
}

bool HttpAttempt::onBody(const char* data, size_t size) {
    // A final answer that is neither a success nor an error, such as a redirect without a
    // target, has a body too; it is not the package.
    if (!bodyStarted_) return stop(unexpectedAnswer(head_.status()));
    if (auto error = file_.append(data, size))
        return stop(
            fatal(MessageCode::WriteFailed, "cannot write the package: " + error.message()));
    progress_.received(static_cast<int64_t>(size));
    progress_.stored(file_.bytesWritten());
    lastActivity_ = lastData_ = Clock::now();
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
    const std::string detail = errorText_[0] != '\0' ? errorText_ : curl_easy_strerror(code);
    if (code == CURLE_OK) {
        if (!bodyStarted_) return unexpectedAnswer(static_cast<int>(status));
        if (package_->total >= 0 && file_.size() != package_->total)
            return transient(MessageCode::ConnectionLost,
                             "the package ended after " + std::to_string(file_.size()) + " of " +
                                 std::to_string(package_->total) + " bytes");
        return {};
    }
    if (code == CURLE_HTTP_RETURNED_ERROR) return httpError(static_cast<int>(status));
    if (isTransientCurlError(code))
        return transient(MessageCode::ConnectionLost, "the connection failed: " + detail, 0, code);
    if (code == CURLE_URL_MALFORMAT || code == CURLE_UNSUPPORTED_PROTOCOL)
        return fatal(MessageCode::Refused, "cannot download from this address: " + detail, 0, code);
    return fatal(MessageCode::BadAnswer, detail, status, code);
}

AttemptResult HttpAttempt::httpError(int status) const {
    const std::string text = "the server answered " + std::to_string(status);
    if (status == 416 && rangeRequested_) {
        AttemptResult result = transient(MessageCode::HttpError, text, status);
        result.startOver = true;
        return result;
    }
    if (isTransientStatus(status)) return transient(MessageCode::HttpError, text, status);
    return fatal(MessageCode::HttpError, text, status);
}

} // namespace sorvo::download

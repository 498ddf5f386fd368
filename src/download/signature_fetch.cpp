#include "download/signature_fetch.h"

namespace sorvo::download {

namespace {

// A signature file has four short lines; anything much larger is not one.
constexpr std::size_t largestSignatureFile = 16 * 1024;

} // namespace

SignatureFetch::SignatureFetch(const DownloadSettings& settings, CancelSignal& cancel,
                               LowSpeedLimit lowSpeed)
    : RequestLoop(settings.noDataTimeoutMs), settings_(settings), cancel_(cancel),
      url_(settings.url + ".minisig"), lowSpeed_(lowSpeed) {}

AttemptResult SignatureFetch::run(std::string& text) {
    text.clear();
    text_ = &text;
    const EasyHandle easy = newRequest(url_, settings_, errorText_);
    curl_easy_setopt(easy.get(), CURLOPT_HEADERFUNCTION, &SignatureFetch::headerCallback);
    curl_easy_setopt(easy.get(), CURLOPT_HEADERDATA, this);
    curl_easy_setopt(easy.get(), CURLOPT_WRITEFUNCTION, &SignatureFetch::writeCallback);
    curl_easy_setopt(easy.get(), CURLOPT_WRITEDATA, this);
    // A whole signature file is less than a span's worth at the limit: one still coming after
    // the span trickles.
    lowSpeed_.restart(Clock::now());
    const CURLcode code = perform(easy.get(), cancel_);
    return classify(code, easy.get());
}

size_t SignatureFetch::headerCallback(char*, size_t size, size_t count, void* self) {
    static_cast<SignatureFetch*>(self)->heardAt(Clock::now());
    return size * count;
}

size_t SignatureFetch::writeCallback(char* data, size_t size, size_t count, void* self) {
    const size_t bytes = size * count;
    return static_cast<SignatureFetch*>(self)->onBody({data, bytes}) ? bytes : 0;
}

bool SignatureFetch::onBody(std::string_view data) {
    const auto now = Clock::now();
    heardAt(now);
    lowSpeed_.add(static_cast<int64_t>(data.size()), now);
    if (text_->size() + data.size() > largestSignatureFile) {
        stopped_ = fatal(MessageCode::SignatureMalformed, "the signature file is larger than " +
                                                              std::to_string(largestSignatureFile) +
                                                              " bytes");
        return false;
    }
    text_->append(data);
    return true;
}

std::optional<AttemptResult> SignatureFetch::interruption() {
    if (!lowSpeed_.stalled(Clock::now())) return {};
    return tooSlow(lowSpeed_.limit());
}

AttemptResult SignatureFetch::classify(CURLcode code, CURL* easy) const {
    if (stopped_) return *stopped_;
    long status = 0;
    curl_easy_getinfo(easy, CURLINFO_RESPONSE_CODE, &status);
    const std::string answered = "the server answered " + std::to_string(status);
    if (code == CURLE_OK) {
        if (status >= 200 && status < 300) return {};
        return fatal(MessageCode::BadAnswer, answered + " instead of the signature", status);
    }
    if (code != CURLE_HTTP_RETURNED_ERROR)
        return curlFailure(code, errorText_[0] != '\0' ? errorText_ : curl_easy_strerror(code),
                           status);
    return statusFailure(status, MessageCode::SignatureMissing,
                         answered + " when asked for the signature at " + url_);
}

} // namespace sorvo::download

#include "download/request.h"

#include "download/ascii.h"

namespace sorvo::download {

namespace {

constexpr long maxRedirects = 10;
constexpr char defaultUserAgent[] = "SorvoRadio/1.0";

// How long the worker waits on the connection before it looks at its timers again.
constexpr int pollMs = 100;

} // namespace

const char* redirectProtocolsFrom(const std::string& url) {
    constexpr std::string_view secure = "https:";
    const bool isSecure =
        url.size() >= secure.size() && equalsIgnoringCase(url.substr(0, secure.size()), secure);
    return isSecure ? "https" : "http,https";
}

EasyHandle newRequest(const std::string& url, const DownloadSettings& settings,
                      char (&errorText)[CURL_ERROR_SIZE]) {
    EasyHandle easy(curl_easy_init());
    CURL* h = easy.get();
    errorText[0] = '\0';
    curl_easy_setopt(h, CURLOPT_URL, url.c_str());
    curl_easy_setopt(h, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(h, CURLOPT_REDIR_PROTOCOLS_STR, redirectProtocolsFrom(url));
    curl_easy_setopt(h, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(h, CURLOPT_MAXREDIRS, maxRedirects);
    // Error pages never reach the file.
    curl_easy_setopt(h, CURLOPT_FAILONERROR, 1L);
    curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
    // Without it, taking away a request whose threaded name lookup hangs waits for the lookup.
    curl_easy_setopt(h, CURLOPT_QUICK_EXIT, 1L);
    curl_easy_setopt(h, CURLOPT_ERRORBUFFER, errorText);
    // Behind a proxy (libcurl takes it from https_proxy and the like), the tunnel's "200
    // Connection established" would otherwise reach the header callback as the package's head.
    curl_easy_setopt(h, CURLOPT_SUPPRESS_CONNECT_HEADERS, 1L);
    if (!settings.authorityFile.empty()) {
        curl_easy_setopt(h, CURLOPT_CAINFO, settings.authorityFile.c_str());
        curl_easy_setopt(h, CURLOPT_CAPATH, nullptr);
    }
    curl_easy_setopt(h, CURLOPT_USERAGENT,
                     settings.userAgent.empty() ? defaultUserAgent : settings.userAgent.c_str());
    if (settings.connectTimeoutMs > 0)
        curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT_MS,
                         static_cast<long>(settings.connectTimeoutMs));
    if (!settings.userName.empty()) {
        curl_easy_setopt(h, CURLOPT_USERNAME, settings.userName.c_str());
        curl_easy_setopt(h, CURLOPT_PASSWORD, settings.password.c_str());
    }
    return easy;
}

CURLcode RequestLoop::perform(CURL* easy, CancelSignal& cancel) {
    stopped_.reset();
    lastActivity_ = Clock::now();
    const MultiHandle multi(curl_multi_init());
    curl_multi_add_handle(multi.get(), easy);
    CURLcode result = CURLE_ABORTED_BY_CALLBACK;
    {
        const CancelSignal::WakingMulti waking(cancel, multi.get());
        while (true) {
            beforePoll(easy);
            int running = 0;
            if (const CURLMcode code = curl_multi_perform(multi.get(), &running);
                code != CURLM_OK) {
                stopped_ = fatal(MessageCode::BadAnswer, curl_multi_strerror(code));
                break;
            }
            if (running == 0) {
                int left = 0;
                while (const CURLMsg* msg = curl_multi_info_read(multi.get(), &left))
                    if (msg->msg == CURLMSG_DONE) result = msg->data.result;
                break;
            }
            if (cancel.raised()) {
                stopped_ = cancelled();
                break;
            }
            if (auto stop = silence(Clock::now()); stop || (stop = interruption())) {
                stopped_ = std::move(stop);
                break;
            }
            curl_multi_poll(multi.get(), nullptr, 0, pollTimeoutMs(), nullptr);
        }
    }
    curl_multi_remove_handle(multi.get(), easy);
    return result;
}

int RequestLoop::pollTimeoutMs() const {
    return pollMs;
}

std::optional<AttemptResult> RequestLoop::silence(Clock::time_point now) const {
    if (noDataTimeoutMs_ <= 0 || !waitingForServer() ||
        now - lastActivity_ <= std::chrono::milliseconds(noDataTimeoutMs_))
        return {};
    return transient(MessageCode::ConnectionLost,
                     "no data from the server for " + std::to_string(noDataTimeoutMs_) + " ms");
}

} // namespace sorvo::download

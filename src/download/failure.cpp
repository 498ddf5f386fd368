#include "download/failure.h"

#include <cerrno>

namespace sorvo::download {

namespace {

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

} // namespace

AttemptResult transient(MessageCode code, std::string text, long status, CURLcode curlCode) {
    return {Outcome::Transient, Failure{code, std::move(text), static_cast<int32_t>(status),
                                        static_cast<int32_t>(curlCode)}};
}

AttemptResult fatal(MessageCode code, std::string text, long status, CURLcode curlCode) {
    return {Outcome::Fatal, Failure{code, std::move(text), static_cast<int32_t>(status),
                                    static_cast<int32_t>(curlCode)}};
}

AttemptResult cancelled() {
    return {Outcome::Cancelled, Failure{MessageCode::Cancelled, "the download was cancelled"}};
}

AttemptResult curlFailure(CURLcode code, const std::string& detail, long status) {
    if (isTransientCurlError(code))
        return transient(MessageCode::ConnectionLost, "the connection failed: " + detail, 0, code);
    if (code == CURLE_URL_MALFORMAT || code == CURLE_UNSUPPORTED_PROTOCOL)
        return fatal(MessageCode::Refused, "cannot download from this address: " + detail, 0, code);
    return fatal(MessageCode::BadAnswer, detail, status, code);
}

AttemptResult statusFailure(long status, MessageCode missing, const std::string& text) {
    if (status == 404 || status == 410) return fatal(missing, text, status);
    if (status >= 500 || status == 408 || status == 429)
        return transient(MessageCode::HttpError, text, status);
    return fatal(MessageCode::HttpError, text, status);
}

AttemptResult tooSlow(const LowSpeedLimit& limit) {
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(limit.span);
    return transient(MessageCode::ConnectionLost,
                     "the server sent less than " + std::to_string(limit.bytesPerSecond) +
                         " bytes a second for " + std::to_string(seconds.count()) + " s");
}

AttemptResult tooLarge(int64_t size, int64_t maxBytes) {
    return fatal(MessageCode::TooLarge, "the package has " + std::to_string(size) +
                                            " bytes or more; at most " + std::to_string(maxBytes) +
                                            " are accepted");
}

Failure writeFailure(const std::string& what, std::error_code error) {
    const bool full = error == std::errc::no_space_on_device ||
                      error == std::error_code(EDQUOT, std::generic_category());
    return {full ? MessageCode::DiskFull : MessageCode::WriteFailed, what + ": " + error.message()};
}

bool worthResuming(MessageCode code) {
    switch (code) {
    case MessageCode::ConnectionLost:
    case MessageCode::HttpError:
    case MessageCode::BadAnswer:
    case MessageCode::DiskFull:
        return true;
    default:
        return false;
    }
}

} // namespace sorvo::download

#pragma once

#include "download/hooks.h"
#include "download/low_speed.h"

#include <cstdint>
#include <curl/curl.h>
#include <string>
#include <system_error>

namespace sorvo::download {

// Why an attempt or a whole transfer did not end with the package in place.
struct Failure {
    MessageCode code = MessageCode::ConnectionLost;
    std::string text;
    int32_t httpStatus = 0;
    int32_t curlCode = 0;
};

enum class Outcome { Complete, Transient, Fatal, Cancelled };

// How one request ended; a transient failure may be retried, a fatal one ends the transfer.
struct AttemptResult {
    Outcome outcome = Outcome::Complete;
    Failure failure;
    bool startOver = false; // the bytes on disk do not belong to the package the server has now
};

// Every failure is classified here.
AttemptResult transient(MessageCode code, std::string text, long status = 0,
                        CURLcode curlCode = CURLE_OK);
AttemptResult fatal(MessageCode code, std::string text, long status = 0,
                    CURLcode curlCode = CURLE_OK);
AttemptResult cancelled();
// A libcurl result other than success and an HTTP error status; detail says what happened.
AttemptResult curlFailure(CURLcode code, const std::string& detail, long status);
// An HTTP error status: request timeouts, rate limits and server errors may pass on a retry;
// other errors are final, and nothing at the address (404, 410) is `missing`.
AttemptResult statusFailure(long status, MessageCode missing, const std::string& text);
// A body slower than the limit over its whole span: a stall, though bytes keep coming.
AttemptResult tooSlow(const LowSpeedLimit& limit);
// A package of size bytes, or one growing past that, where at most maxBytes are accepted.
AttemptResult tooLarge(int64_t size, int64_t maxBytes);
// A failed write or sync of the package; a full disk or quota has a reason of its own.
Failure writeFailure(const std::string& what, std::error_code error);
// Whether a later try may get past a transfer's failure, so that the bytes it kept are worth
// continuing from: no connection, a server error, a bad answer, a full disk.
bool worthResuming(MessageCode code);

} // namespace sorvo::download

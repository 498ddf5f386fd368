#include "download/curl_handles.h"

#include "download/live_workers.h"

#include <chrono>

namespace sorvo::download {

namespace {
// How long program end waits for released workers before it leaves them to the end of the
// process; they normally need a few milliseconds once cancelled.
constexpr auto exitGrace = std::chrono::milliseconds(50);
} // namespace

void ensureCurlReady() {
    static const struct Library {
        Library() { curl_global_init(CURL_GLOBAL_DEFAULT); }
        // A worker still inside libcurl must not have it cleaned up under its feet; then the
        // end of the process does the cleaning.
        ~Library() {
            if (LiveWorkers::instance().waitUntilNone(exitGrace)) curl_global_cleanup();
        }
    } library;
}

} // namespace sorvo::download

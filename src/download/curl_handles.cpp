#include "download/curl_handles.h"

namespace sorvo::download {

void ensureCurlReady() {
    // Made by the first Downloader, so it outlives them all, and every Downloader has joined its
    // workers before it goes: nobody is inside libcurl when it is handed back.
    static const struct Library {
        Library() { curl_global_init(CURL_GLOBAL_DEFAULT); }
        ~Library() { curl_global_cleanup(); }
    } library;
}

} // namespace sorvo::download

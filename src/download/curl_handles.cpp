#include "download/curl_handles.h"

namespace sorvo::download {

void ensureCurlReady() {
    static const struct Global {
        Global() { curl_global_init(CURL_GLOBAL_DEFAULT); }
        ~Global() { curl_global_cleanup(); }
    } global;
}

} // namespace sorvo::download

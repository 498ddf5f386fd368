#include "client_session.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <unistd.h>

ClientSession::ClientSession() : desktop_("/tmp/sorvo-bench-desktop-" + std::to_string(getpid())) {
    if (std::getenv("DISPLAY") == nullptr && !desktop_.start()) {
        std::fprintf(stderr, "could not start a desktop\n");
        return;
    }
    char runtime[] = "/tmp/sorvo-bench-runtime-XXXXXX";
    if (mkdtemp(runtime)) {
        runtime_ = runtime;
        setenv("XDG_RUNTIME_DIR", runtime, 1);
    }
    ready_ = true;
}

ClientSession::~ClientSession() {
    std::error_code ignored;
    if (!runtime_.empty()) std::filesystem::remove_all(runtime_, ignored);
}

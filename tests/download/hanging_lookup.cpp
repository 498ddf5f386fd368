#include "hanging_lookup.h"

#include <condition_variable>
#include <cstring>
#include <dlfcn.h>
#include <mutex>
#include <netdb.h>

namespace sorvo::download::testing {

namespace {

struct LookupState {
    std::mutex mutex;
    std::condition_variable changed;
    int begun = 0;
    bool hanging = false;
};

// Never destroyed: a lookup thread that libcurl let go may still be waiting at exit.
LookupState& state() {
    static LookupState* const lookups = new LookupState;
    return *lookups;
}

int hang() {
    LookupState& s = state();
    std::unique_lock lock(s.mutex);
    ++s.begun;
    s.changed.notify_all();
    s.changed.wait(lock, [&] { return !s.hanging; });
    return EAI_NONAME;
}

} // namespace

HangingLookups::HangingLookups() {
    std::lock_guard lock(state().mutex);
    state().begun = 0;
    state().hanging = true;
}

HangingLookups::~HangingLookups() {
    std::lock_guard lock(state().mutex);
    state().hanging = false;
    state().changed.notify_all();
}

bool HangingLookups::waitForLookup(std::chrono::milliseconds limit) {
    std::unique_lock lock(state().mutex);
    if (!state().changed.wait_for(lock, limit, [this] { return state().begun > seen_; }))
        return false;
    seen_ = state().begun;
    return true;
}

} // namespace sorvo::download::testing

extern "C" int getaddrinfo(const char* name, const char* service, const struct addrinfo* hints,
                           struct addrinfo** result) {
    using Lookup = int (*)(const char*, const char*, const struct addrinfo*, struct addrinfo**);
    if (name && std::strcmp(name, sorvo::download::testing::hangingHost) == 0)
        return sorvo::download::testing::hang();
    static const auto next = reinterpret_cast<Lookup>(::dlsym(RTLD_NEXT, "getaddrinfo"));
    return next(name, service, hints, result);
}

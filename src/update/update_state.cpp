#include "update/update_state.h"

#include "config/update_key.h"
#include "config/update_policy.h"

#include <cstdio>
#include <memory>

namespace sorvo::update {

namespace {
std::unique_ptr<UpdateState>& state() {
    static std::unique_ptr<UpdateState> programWide;
    return programWide;
}

// A build without a key refuses every package, or, when its builder allowed it, takes any;
// say so once.
void noteUnverifiedPackages() {
    static bool said = false;
    if (said || !updatePublicKey().empty()) return;
    said = true;
    std::fputs(allowUnsignedUpdates()
                   ? "Upgrade packages are not verified: this client was built without an update "
                     "key (SORVO_UPDATE_PUBLIC_KEY).\n"
                   : "Upgrade packages are refused: this client was built without an update key "
                     "(SORVO_UPDATE_PUBLIC_KEY).\n",
               stderr);
}
} // namespace

void createUpdateState() {
    noteUnverifiedPackages();
    state() = std::make_unique<UpdateState>();
}

UpdateState& updateState() {
    return *state();
}

void releaseUpdateState() {
    if (!state()) return;
    download::release(state()->downloader);
    state().reset();
}

} // namespace sorvo::update

#include "update/update_state.h"

#include <memory>

namespace sorvo::update {

namespace {
std::unique_ptr<UpdateState>& state() {
    static std::unique_ptr<UpdateState> programWide;
    return programWide;
}
} // namespace

void createUpdateState() {
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

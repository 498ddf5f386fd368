#include "update/update_phase.h"

namespace sorvo::update {

namespace {
constexpr int verifyingAbove = 990; // tenths of a percent
}

bool UpdateProgress::start() {
    if (phase_ != UpdatePhase::Idle && phase_ != UpdatePhase::Failed) return false;
    phase_ = UpdatePhase::Downloading;
    return true;
}

bool UpdateProgress::barAt(int position) {
    if (!running() || position <= verifyingAbove) return false;
    phase_ = UpdatePhase::Verifying;
    return true;
}

bool UpdateProgress::stored(std::int64_t stored, std::int64_t total) {
    if (phase_ != UpdatePhase::Verifying || total <= 0 || stored != total) return false;
    phase_ = UpdatePhase::Verified;
    return true;
}

bool UpdateProgress::failed() {
    if (phase_ == UpdatePhase::Idle || phase_ == UpdatePhase::Failed) return false;
    phase_ = UpdatePhase::Failed;
    return true;
}

} // namespace sorvo::update

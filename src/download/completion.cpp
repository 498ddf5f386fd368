#include "download/completion.h"

#include <chrono>

namespace sorvo::download {

namespace {
// The cancel signal cannot wake this wait; it is looked at this often instead.
constexpr auto cancelCheck = std::chrono::milliseconds(20);
} // namespace

void Completion::set() {
    std::lock_guard lock(mutex_);
    set_ = true;
    changed_.notify_all();
}

bool Completion::waitUnless(const CancelSignal& cancel) {
    std::unique_lock lock(mutex_);
    while (!changed_.wait_for(lock, cancelCheck, [this] { return set_; })) {
        if (cancel.raised()) return false;
    }
    return true;
}

} // namespace sorvo::download

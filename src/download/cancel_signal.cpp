#include "download/cancel_signal.h"

namespace sorvo::download {

void CancelSignal::raise() {
    {
        std::lock_guard lock(mutex_);
        raised_ = true;
    }
    wake_.notify_all();
}

void CancelSignal::clear() {
    std::lock_guard lock(mutex_);
    raised_ = false;
}

bool CancelSignal::sleepFor(std::chrono::milliseconds duration) {
    std::unique_lock lock(mutex_);
    return !wake_.wait_for(lock, duration, [this] { return raised_.load(); });
}

} // namespace sorvo::download

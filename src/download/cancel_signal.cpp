#include "download/cancel_signal.h"

namespace sorvo::download {

void CancelSignal::raise() {
    {
        std::lock_guard lock(mutex_);
        raised_ = true;
        // Under the lock: the worker takes the handle away under it before cleaning it up.
        if (multi_) curl_multi_wakeup(multi_);
    }
    wake_.notify_all();
}

bool CancelSignal::sleepFor(std::chrono::milliseconds duration) {
    std::unique_lock lock(mutex_);
    return !wake_.wait_for(lock, duration, [this] { return raised_.load(); });
}

CancelSignal::WakingMulti::WakingMulti(CancelSignal& signal, CURLM* multi) : signal_(signal) {
    std::lock_guard lock(signal_.mutex_);
    signal_.multi_ = multi;
}

CancelSignal::WakingMulti::~WakingMulti() {
    std::lock_guard lock(signal_.mutex_);
    signal_.multi_ = nullptr;
}

} // namespace sorvo::download

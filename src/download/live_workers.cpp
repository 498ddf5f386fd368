#include "download/live_workers.h"

namespace sorvo::download {

LiveWorkers& LiveWorkers::instance() {
    static LiveWorkers* const workers = new LiveWorkers;
    return *workers;
}

void LiveWorkers::enter() {
    std::lock_guard lock(mutex_);
    ++live_;
}

void LiveWorkers::leave() {
    std::lock_guard lock(mutex_);
    if (--live_ == 0) changed_.notify_all();
}

bool LiveWorkers::waitUntilNone(std::chrono::milliseconds limit) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, limit, [this] { return live_ == 0; });
}

} // namespace sorvo::download

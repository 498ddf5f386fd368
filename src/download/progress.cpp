#include "download/progress.h"

#include "download/component_rate.h"

namespace sorvo::download {

void Progress::received(int64_t bytes) {
    bytesDone_.fetch_add(bytes, std::memory_order_relaxed);
    speed_.add(bytes, SpeedMeter::Clock::now());
    ComponentRate::instance().add(bytes);
}

void Progress::stored(int64_t bytes) {
    bytesStored_.store(bytes, std::memory_order_relaxed);
}

void Progress::startedOver() {
    bytesDone_.store(0, std::memory_order_relaxed);
    bytesStored_.store(0, std::memory_order_relaxed);
}

void Progress::resumedAt(int64_t bytes) {
    bytesDone_.store(bytes, std::memory_order_relaxed);
    bytesStored_.store(bytes, std::memory_order_relaxed);
}

} // namespace sorvo::download

#pragma once

#include "download/speed_meter.h"

#include <atomic>
#include <cstdint>

namespace sorvo::download {

// The counters of one transfer: written by its worker, read by any thread.
class Progress {
  public:
    void received(int64_t bytes); // bytes of the package arrived and were kept
    void stored(int64_t bytes);   // the file now holds this many bytes of the package
    void startedOver();           // the bytes kept so far were thrown away
    // The file holds this many bytes of the package from an earlier transfer; they arrived
    // then, so they count as done and stored but not towards the speed.
    void resumedAt(int64_t bytes);

    int64_t bytesDone() const { return bytesDone_.load(std::memory_order_relaxed); }
    int64_t bytesStored() const { return bytesStored_.load(std::memory_order_relaxed); }
    int64_t bytesPerSecond() const { return speed_.bytesPerSecond(SpeedMeter::Clock::now()); }

  private:
    std::atomic<int64_t> bytesDone_{0};
    std::atomic<int64_t> bytesStored_{0};
    SpeedMeter speed_;
};

} // namespace sorvo::download

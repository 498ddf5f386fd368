#pragma once

#include "download/cancel_signal.h"

#include <condition_variable>
#include <mutex>

namespace sorvo::download {

// Set once, when a worker has done all it does with its files.
class Completion {
  public:
    void set();
    // Waits until it is set; false when the cancel signal was raised first.
    bool waitUnless(const CancelSignal& cancel);

  private:
    std::mutex mutex_;
    std::condition_variable changed_;
    bool set_ = false;
};

} // namespace sorvo::download

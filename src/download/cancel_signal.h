#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>

namespace sorvo::download {

// Asks a worker to stop. The worker looks at it between polls of the connection and wakes from
// its retry delay when it is raised.
class CancelSignal {
  public:
    void raise();
    void clear();
    bool raised() const { return raised_.load(); }
    // Waits for the duration; false when the signal was raised instead.
    bool sleepFor(std::chrono::milliseconds duration);

  private:
    std::atomic<bool> raised_{false};
    std::mutex mutex_;
    std::condition_variable wake_;
};

} // namespace sorvo::download

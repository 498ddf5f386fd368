#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <curl/curl.h>
#include <mutex>

namespace sorvo::download {

// Asks a worker to stop. Raising it wakes the worker from its retry delay and from its wait on
// the connection, so the worker stops at once wherever it is.
class CancelSignal {
  public:
    void raise();
    bool raised() const { return raised_.load(); }
    // Waits for the duration; false when the signal was raised instead.
    bool sleepFor(std::chrono::milliseconds duration);

    // Wakes the multi handle's poll when the signal is raised, for the guard's lifetime.
    class WakingMulti {
      public:
        WakingMulti(CancelSignal& signal, CURLM* multi);
        ~WakingMulti();
        WakingMulti(const WakingMulti&) = delete;
        WakingMulti& operator=(const WakingMulti&) = delete;

      private:
        CancelSignal& signal_;
    };

  private:
    std::atomic<bool> raised_{false};
    std::mutex mutex_;
    std::condition_variable wake_;
    CURLM* multi_ = nullptr;
};

} // namespace sorvo::download

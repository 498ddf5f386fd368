#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace sorvo::download {

// The workers of the process that have not ended yet. A released worker finishes alone; at
// program end the component gives such workers a moment to end before it hands libcurl back.
class LiveWorkers {
  public:
    // Never destroyed: a worker may still end while the program's statics are destroyed.
    static LiveWorkers& instance();

    // Counts the calling worker for its lifetime.
    class Stay {
      public:
        Stay() { instance().enter(); }
        ~Stay() { instance().leave(); }
        Stay(const Stay&) = delete;
        Stay& operator=(const Stay&) = delete;
    };

    // Waits until no worker is left, at most for limit; whether none is left.
    bool waitUntilNone(std::chrono::milliseconds limit);

  private:
    void enter();
    void leave();

    std::mutex mutex_;
    std::condition_variable changed_;
    int live_ = 0;
};

} // namespace sorvo::download

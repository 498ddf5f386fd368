#pragma once

#include <atomic>
#include <mutex>
#include <thread>

namespace sorvo::download {

// Lets the hooks of one transfer run until the gate is closed. Closing waits for a hook that is
// running on another thread, so that no hook runs once close has returned.
class HookGate {
  public:
    // Runs call unless the gate is closed; call runs with the gate held.
    template <typename Call> void pass(Call&& call) {
        std::lock_guard lock(mutex_);
        if (closed_) return;
        running_.store(std::this_thread::get_id());
        call();
        running_.store(std::thread::id());
    }

    // From inside one of the gate's own hooks it only marks the gate closed: the running hook
    // goes on to its end, and no hook runs after it.
    void close();

    // Whether the calling thread is inside a hook that this gate let through.
    bool insideHook() const { return running_.load() == std::this_thread::get_id(); }

  private:
    std::mutex mutex_;
    bool closed_ = false;
    std::atomic<std::thread::id> running_;
};

} // namespace sorvo::download

#pragma once

#include "download/download_settings.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace sorvo::download::testing {

struct Message {
    int32_t code;
    std::string text, url;
    int32_t httpStatus, curlCode;
};

// Records what a transfer reports through its hooks, and on which thread.
class HookRecorder {
  public:
    // Fills in both hooks of settings.
    void attach(DownloadSettings& settings);

    // Waits for Finished or Failed; returns that event.
    std::optional<Event> waitForEnd(std::chrono::milliseconds limit = std::chrono::seconds(30));
    // Waits for the first event of the kind.
    bool waitFor(int32_t kind, std::chrono::milliseconds limit = std::chrono::seconds(30));

    std::vector<Event> events() const;
    std::vector<int32_t> kinds() const;
    std::vector<Message> messages() const;
    std::size_t hookCalls() const;
    // Whether a hook ran on the thread that made this recorder.
    bool ranOnTestThread() const;

  private:
    void onEvent(const Event& event);
    void onMessage(Message message);

    const std::thread::id testThread_ = std::this_thread::get_id();
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<Event> events_;
    std::vector<Message> messages_;
    bool ranOnTestThread_ = false;
};

} // namespace sorvo::download::testing

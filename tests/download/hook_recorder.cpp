#include "hook_recorder.h"

#include <algorithm>

namespace sorvo::download::testing {

void HookRecorder::attach(DownloadSettings& settings) {
    settings.eventHook = [this](const Event& event) { onEvent(event); };
    settings.messageHook = [this](int32_t code, const std::string& text, const std::string& url,
                                  int32_t httpStatus, int32_t curlCode) {
        onMessage({code, text, url, httpStatus, curlCode});
    };
}

// Notifies under the lock: a waiter that wakes may destroy the recorder right away.
void HookRecorder::onEvent(const Event& event) {
    std::lock_guard lock(mutex_);
    events_.push_back(event);
    ranOnTestThread_ = ranOnTestThread_ || std::this_thread::get_id() == testThread_;
    changed_.notify_all();
}

void HookRecorder::onMessage(Message message) {
    std::lock_guard lock(mutex_);
    messages_.push_back(std::move(message));
    ranOnTestThread_ = ranOnTestThread_ || std::this_thread::get_id() == testThread_;
}

std::optional<Event> HookRecorder::waitForEnd(std::chrono::milliseconds limit) {
    std::unique_lock lock(mutex_);
    std::optional<Event> end;
    changed_.wait_for(lock, limit, [&] {
        const auto found = std::ranges::find_if(
            events_, [](const Event& e) { return e.kind == Finished || e.kind == Failed; });
        if (found != events_.end()) end = *found;
        return end.has_value();
    });
    return end;
}

bool HookRecorder::waitFor(int32_t kind, std::chrono::milliseconds limit) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, limit, [&] {
        return std::ranges::any_of(events_, [&](const Event& e) { return e.kind == kind; });
    });
}

std::vector<Event> HookRecorder::events() const {
    std::lock_guard lock(mutex_);
    return events_;
}

std::vector<int32_t> HookRecorder::kinds() const {
    std::vector<int32_t> kinds;
    for (const Event& e : events())
        kinds.push_back(e.kind);
    return kinds;
}

std::vector<Message> HookRecorder::messages() const {
    std::lock_guard lock(mutex_);
    return messages_;
}

std::size_t HookRecorder::hookCalls() const {
    std::lock_guard lock(mutex_);
    return events_.size() + messages_.size();
}

bool HookRecorder::ranOnTestThread() const {
    std::lock_guard lock(mutex_);
    return ranOnTestThread_;
}

} // namespace sorvo::download::testing

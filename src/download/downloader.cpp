#include "download/downloader.h"

#include "download/cancel_signal.h"
#include "download/component_rate.h"
#include "download/curl_handles.h"
#include "download/progress.h"
#include "download/reporter.h"
#include "download/transfer.h"

#include <mutex>
#include <thread>

namespace sorvo::download {

struct Downloader::State {
    std::mutex control; // one start or release at a time
    CancelSignal cancel;
    Progress progress;
    std::thread worker;

    // Cancels the running transfer, if any, and waits for its thread. Holds control.
    void stop() {
        cancel.raise();
        if (worker.joinable()) worker.join();
        cancel.clear();
    }
};

namespace {

// The Downloader whose transfer runs on this thread: a hook must not wait for its own thread.
thread_local const Downloader::State* workerOf = nullptr;

} // namespace

Downloader::Downloader() : state_(std::make_unique<State>()) {
    ensureCurlReady();
}

Downloader::~Downloader() {
    release(*this);
}

void startDownload(Downloader& downloader, DownloadSettings& settings) {
    Downloader::State& state = *downloader.state_;
    if (workerOf == &state) {
        Reporter(settings).failed(
            {MessageCode::Refused, "a download cannot be started from inside its own hook"}, 0);
        return;
    }
    std::lock_guard lock(state.control);
    state.stop();
    state.progress.restart();
    state.worker = std::thread([&state, copy = settings]() mutable {
        workerOf = &state;
        Transfer(std::move(copy), state.progress, state.cancel).run();
    });
}

int32_t bytesDone(const Downloader& downloader) {
    return saturated(downloader.state_->progress.bytesDone());
}

int32_t bytesStored(const Downloader& downloader) {
    return saturated(downloader.state_->progress.bytesStored());
}

int32_t currentSpeed(const Downloader& downloader) {
    return saturated(downloader.state_->progress.bytesPerSecond());
}

int32_t overallRate() {
    return saturated(ComponentRate::instance().bytesPerSecond(ComponentRate::Clock::now()));
}

void release(Downloader& downloader) {
    Downloader::State& state = *downloader.state_;
    if (workerOf == &state) return state.cancel.raise();
    std::lock_guard lock(state.control);
    state.stop();
}

} // namespace sorvo::download

#include "download/downloader.h"

#include "download/component_rate.h"
#include "download/curl_handles.h"
#include "download/hook_gate.h"
#include "download/job.h"
#include "download/reporter.h"
#include "download/transfer.h"

#include <mutex>
#include <thread>

namespace sorvo::download {

struct Downloader::State {
    std::mutex control; // one start or release at a time
    mutable std::mutex jobMutex;
    std::shared_ptr<Job> current; // the running or the last transfer; guarded by jobMutex
    // The newest worker; guarded by control. Each worker joins the one it replaced before it
    // ends, so joining this one joins them all.
    std::thread worker;

    std::shared_ptr<Job> job() const {
        std::lock_guard lock(jobMutex);
        return current;
    }
};

namespace {

// Silences the transfer first, so that nothing it does on its way out is reported.
void stop(Job& job) {
    job.hooks.close();
    job.cancel.raise();
}

void work(const std::shared_ptr<Job>& job, std::shared_ptr<Job> previous,
          std::thread previousWorker, DownloadSettings settings) {
    // The stopped transfer before this one may still hold the file, and leaves what it kept for
    // resuming only once it has ended.
    if (!previous || previous->ended.waitUnless(job->cancel))
        Transfer(std::move(settings), *job).run(previous ? std::move(previous->resume) : nullptr);
    // A part file that this transfer did not take up goes before the next one may start.
    previous.reset();
    job->ended.set();
    // Stopped when this one started, it has ended or is about to.
    if (previousWorker.joinable()) previousWorker.join();
}

} // namespace

Downloader::Downloader() : state_(std::make_unique<State>()) {
    ensureCurlReady();
}

Downloader::~Downloader() {
    release(*this);
    if (state_->worker.joinable()) state_->worker.join();
}

void startDownload(Downloader& downloader, DownloadSettings& settings) {
    Downloader::State& state = *downloader.state_;
    if (const auto running = state.job(); running && running->hooks.insideHook()) {
        HookGate gate;
        Reporter(settings, gate)
            .failed({MessageCode::Refused, "a download cannot be started from inside its own hook"},
                    0);
        return;
    }
    std::lock_guard lock(state.control);
    std::shared_ptr<Job> previous = state.job();
    if (previous) stop(*previous);
    auto job = std::make_shared<Job>();
    {
        std::lock_guard jobLock(state.jobMutex);
        state.current = job;
    }
    state.worker = std::thread(work, job, std::move(previous), std::move(state.worker), settings);
}

int64_t bytesDone(const Downloader& downloader) {
    const auto job = downloader.state_->job();
    return job ? job->progress.bytesDone() : 0;
}

int64_t bytesStored(const Downloader& downloader) {
    const auto job = downloader.state_->job();
    return job ? job->progress.bytesStored() : 0;
}

int64_t currentSpeed(const Downloader& downloader) {
    const auto job = downloader.state_->job();
    return job ? job->progress.bytesPerSecond() : 0;
}

int64_t overallRate() {
    return ComponentRate::instance().bytesPerSecond(ComponentRate::Clock::now());
}

void release(Downloader& downloader) {
    Downloader::State& state = *downloader.state_;
    if (const auto running = state.job(); running && running->hooks.insideHook())
        return running->cancel.raise();
    std::lock_guard lock(state.control);
    if (const auto job = state.job()) stop(*job);
}

} // namespace sorvo::download

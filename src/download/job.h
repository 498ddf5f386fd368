#pragma once

#include "download/cancel_signal.h"
#include "download/completion.h"
#include "download/hook_gate.h"
#include "download/progress.h"
#include "download/resume_point.h"

#include <memory>

namespace sorvo::download {

// What one transfer shares between its worker and the Downloader that started it. The worker
// holds it to its end, the Downloader until its next start, so either may go first.
struct Job {
    CancelSignal cancel;
    HookGate hooks;
    Progress progress;
    // Left by the worker before it reports Failed; taken by the next start's worker once this
    // one has ended. A resume point nobody takes removes its part file with the Job.
    std::unique_ptr<ResumePoint> resume;
    Completion ended; // the worker is done with its files
};

} // namespace sorvo::download

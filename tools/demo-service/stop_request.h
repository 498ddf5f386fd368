#pragma once

#include <atomic>
#include <sys/types.h>

namespace sorvo::demo {

// Blocks SIGINT, SIGTERM and SIGHUP in the calling thread and in every thread it starts later,
// so that only waitForStopRequest receives them. Call it first thing in main.
void blockStopSignals();

// Returns when one of those signals arrives, when `serverEnded` becomes true, or when this
// process's parent is no longer `parent` (0: no parent to watch).
void waitForStopRequest(pid_t parent, const std::atomic<bool>& serverEnded);

} // namespace sorvo::demo

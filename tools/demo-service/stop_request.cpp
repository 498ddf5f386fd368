#include "stop_request.h"

#include <csignal>
#include <ctime>
#include <unistd.h>

namespace sorvo::demo {

namespace {

sigset_t stopSignals() {
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    sigaddset(&signals, SIGHUP);
    return signals;
}

} // namespace

void blockStopSignals() {
    const sigset_t signals = stopSignals();
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
}

void waitForStopRequest(pid_t parent, const std::atomic<bool>& serverEnded) {
    const sigset_t signals = stopSignals();
    // An orphan is adopted by another process, so its parent's id changes. Comparing with the
    // id given, not one read at start, also catches a parent that ended before that.
    const timespec poll{0, 200'000'000};
    while (parent == 0 || getppid() == parent) {
        if (sigtimedwait(&signals, nullptr, &poll) >= 0 || serverEnded) return;
    }
}

} // namespace sorvo::demo

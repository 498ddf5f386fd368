#include "config/log_categories.h"
#include "platform/termination_watch.h"

#include <QSocketNotifier>
#include <array>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <sys/socket.h>
#include <unistd.h>

namespace sorvo::platform {

namespace {

constexpr std::array watchedSignals{SIGTERM, SIGINT, SIGHUP};

// The handler's end of the watch's socket pair; -1 while no watch stands. The handler may only do
// what is safe in a signal handler: it writes the signal's number there, and the event loop reads
// it from the other end.
volatile std::sig_atomic_t handlerEnd = -1;

void onSignal(int number) {
    const int savedErrno = errno;
    const auto byte = static_cast<unsigned char>(number);
    [[maybe_unused]] const ssize_t written = ::write(handlerEnd, &byte, 1);
    errno = savedErrno;
}

void handleWatchedSignals(void (*handler)(int)) {
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int number : watchedSignals)
        ::sigaction(number, &action, nullptr);
}

} // namespace

TerminationWatch::TerminationWatch() {
    int ends[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, ends) != 0) {
        qCWarning(platformLog, "Signals to end the program end it at once: %s",
                  std::strerror(errno));
        return;
    }
    readEnd_ = ends[0];
    handlerEnd = ends[1];
    auto* notifier = new QSocketNotifier(readEnd_, QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, &TerminationWatch::onSignalled);
    handleWatchedSignals(onSignal);
}

TerminationWatch::~TerminationWatch() {
    if (readEnd_ < 0) return;
    handleWatchedSignals(SIG_DFL);
    ::close(handlerEnd);
    handlerEnd = -1;
    ::close(readEnd_);
}

void TerminationWatch::onSignalled() {
    unsigned char number = 0;
    if (::read(readEnd_, &number, 1) != 1) return;
    handleWatchedSignals(SIG_DFL);
    qCInfo(platformLog, "Asked to end by signal %d (%s).", number, ::strsignal(number));
    emit requested();
}

} // namespace sorvo::platform

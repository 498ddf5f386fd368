#pragma once

#include <QObject>

namespace sorvo::platform {

// Hears the requests to end the program that come from outside it, so that it ends through its
// usual teardown (the download stopped, the tray icons taken away, exit code 0) instead of dying
// on the spot: on Unix SIGTERM (the session's end, `kill`), SIGINT (Ctrl+C in a terminal) and
// SIGHUP (the terminal closing), told from the event loop. After the first, the signals' own
// effect is back, so that a second one ends a teardown that hangs. Windows sends a windowed
// program none of these; there it says nothing. One per process, on the GUI thread.
class TerminationWatch : public QObject {
    Q_OBJECT
  public:
    TerminationWatch();
    ~TerminationWatch() override;
    TerminationWatch(const TerminationWatch&) = delete;
    TerminationWatch& operator=(const TerminationWatch&) = delete;

  signals:
    void requested();

  private:
    void onSignalled();

    int readEnd_ = -1;
};

} // namespace sorvo::platform

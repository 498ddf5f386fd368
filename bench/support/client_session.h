#pragma once

#include "private_desktop.h"

#include <string>

// Where a benchmark runs the whole client from outside: the display, a private desktop when
// DISPLAY is unset, and a private user runtime folder. The client runs one instance per runtime
// folder, so a private one keeps clients started elsewhere on the machine (tests, another
// bench) from taking the measured one's place. Both go with the object.
class ClientSession {
  public:
    ClientSession();
    ~ClientSession();
    ClientSession(const ClientSession&) = delete;
    ClientSession& operator=(const ClientSession&) = delete;

    // False, with the reason on the error output, when there is no display to measure on.
    bool ready() const { return ready_; }

  private:
    PrivateDesktop desktop_;
    std::string runtime_;
    bool ready_ = false;
};

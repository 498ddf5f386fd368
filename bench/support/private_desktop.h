#pragma once

#include <string>

// A private desktop from the test harness (Xvfb, a window manager and a tray host), for runs
// without a display. Taken down again by the destructor.
class PrivateDesktop {
  public:
    explicit PrivateDesktop(std::string stateFolder) : state_(std::move(stateFolder)) {}
    ~PrivateDesktop();
    PrivateDesktop(const PrivateDesktop&) = delete;
    PrivateDesktop& operator=(const PrivateDesktop&) = delete;

    // Starts the desktop and points DISPLAY at it; false when it did not come up.
    bool start();

  private:
    std::string state_;
    bool started_ = false;
};

#pragma once

#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

struct xcb_connection_t;

// The X display's windows, as a benchmark watches and drives them from outside.
class X11Windows {
  public:
    X11Windows();
    ~X11Windows();
    X11Windows(const X11Windows&) = delete;
    X11Windows& operator=(const X11Windows&) = delete;

    bool connected() const { return connection_ != nullptr; }
    bool viewableWindowTitled(const std::string& title);

    // The window manager's window of the process pid with that title, mapped or not; 0 if none.
    unsigned managedWindowOf(pid_t pid, const std::string& title);
    bool isViewable(unsigned window);
    // Asks the window manager to minimise the window, and to restore and raise it.
    void iconify(unsigned window);
    void activate(unsigned window);

    // The centre, on the screen, of the process's tray icon: a small viewable window of the
    // process that the window manager does not manage.
    struct Point {
        int x = 0;
        int y = 0;
    };
    std::optional<Point> trayIconOf(pid_t pid);

  private:
    std::vector<unsigned> managedWindows();
    std::string title(unsigned window);
    pid_t pidOf(unsigned window);
    void sendToRoot(unsigned window, unsigned type, unsigned first, unsigned second);

    xcb_connection_t* connection_ = nullptr;
    unsigned root_ = 0;
    unsigned clientList_ = 0;
    unsigned netWmName_ = 0;
    unsigned netWmPid_ = 0;
    unsigned utf8String_ = 0;
    unsigned changeState_ = 0;
    unsigned activeWindow_ = 0;
};

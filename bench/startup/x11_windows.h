#pragma once

#include <string>

struct xcb_connection_t;

// Watches the X display for a managed, viewable window with a given title.
class X11Windows {
  public:
    X11Windows();
    ~X11Windows();
    X11Windows(const X11Windows&) = delete;
    X11Windows& operator=(const X11Windows&) = delete;

    bool connected() const { return connection_ != nullptr; }
    bool viewableWindowTitled(const std::string& title);

  private:
    xcb_connection_t* connection_ = nullptr;
    unsigned root_ = 0;
    unsigned clientList_ = 0;
    unsigned netWmName_ = 0;
    unsigned utf8String_ = 0;
};

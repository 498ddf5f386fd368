#pragma once

#include <QAbstractNativeEventFilter>
#include <QObject>
#include <xcb/xcb.h>

namespace sorvo::platform {

// Follows the X11 tray selection (_NET_SYSTEM_TRAY_S0) by what the X server tells, without
// asking it again and again: a tray that takes the selection announces itself to the root window
// (the MANAGER message, which Qt selects the root's structure events for), and the window that
// holds the selection is destroyed when that tray ends. Lives on the GUI thread, which reads the
// X connection's events.
class XembedTrayWatch : public QObject, private QAbstractNativeEventFilter {
    Q_OBJECT
  public:
    // Null when the platform has no X server connection.
    static XembedTrayWatch* create(QObject* parent);
    ~XembedTrayWatch() override;

    bool present() const { return owner_ != XCB_NONE; }

  signals:
    void presenceChanged(bool present);

  private:
    XembedTrayWatch(xcb_connection_t* connection, QObject* parent);
    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;
    // Reads who holds the selection now and asks to hear when that window goes.
    void follow();

    xcb_connection_t* connection_;
    xcb_atom_t selection_;
    xcb_atom_t manager_;
    xcb_window_t owner_ = XCB_NONE;
};

} // namespace sorvo::platform

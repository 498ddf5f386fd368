#include "platform/xembed_tray_watch.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QGuiApplication>
#include <cstdlib>
#include <memory>

namespace sorvo::platform {

namespace {

template <typename Reply> using ReplyPointer = std::unique_ptr<Reply, decltype(&std::free)>;

xcb_atom_t atomNamed(xcb_connection_t* connection, const QByteArray& name) {
    const ReplyPointer<xcb_intern_atom_reply_t> atom(
        xcb_intern_atom_reply(
            connection,
            xcb_intern_atom(connection, 0, static_cast<uint16_t>(name.size()), name.constData()),
            nullptr),
        &std::free);
    return atom ? atom->atom : xcb_atom_t{XCB_ATOM_NONE};
}

xcb_window_t selectionOwner(xcb_connection_t* connection, xcb_atom_t selection) {
    const ReplyPointer<xcb_get_selection_owner_reply_t> owner(
        xcb_get_selection_owner_reply(connection, xcb_get_selection_owner(connection, selection),
                                      nullptr),
        &std::free);
    return owner ? owner->owner : xcb_window_t{XCB_NONE};
}

} // namespace

XembedTrayWatch* XembedTrayWatch::create(QObject* parent) {
    // The offscreen platform offers the X11 interface even without a display, and then has no
    // connection behind it.
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t* connection = x11 ? x11->connection() : nullptr;
    return connection ? new XembedTrayWatch(connection, parent) : nullptr;
}

XembedTrayWatch::XembedTrayWatch(xcb_connection_t* connection, QObject* parent)
    : QObject(parent), connection_(connection),
      // Trays hold the selection of the screen they sit on; the program's windows use screen 0.
      selection_(atomNamed(connection, QByteArrayLiteral("_NET_SYSTEM_TRAY_S0"))),
      manager_(atomNamed(connection, QByteArrayLiteral("MANAGER"))) {
    follow();
    QCoreApplication::instance()->installNativeEventFilter(this);
}

XembedTrayWatch::~XembedTrayWatch() {
    QCoreApplication::instance()->removeNativeEventFilter(this);
}

void XembedTrayWatch::follow() {
    const bool before = present();
    owner_ = selectionOwner(connection_, selection_);
    while (owner_ != XCB_NONE) {
        // A checked request keeps the error of a window already gone away from Qt's log.
        const uint32_t events = XCB_EVENT_MASK_STRUCTURE_NOTIFY;
        std::free(xcb_request_check(
            connection_,
            xcb_change_window_attributes_checked(connection_, owner_, XCB_CW_EVENT_MASK, &events)));
        // The owner may have changed before its destruction could be heard of: asked again.
        const xcb_window_t now = selectionOwner(connection_, selection_);
        if (now == owner_) break;
        owner_ = now;
    }
    if (present() != before) emit presenceChanged(present());
}

bool XembedTrayWatch::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
    if (eventType != "xcb_generic_event_t") return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    switch (event->response_type & 0x7f) {
    case XCB_CLIENT_MESSAGE: {
        const auto* news = static_cast<const xcb_client_message_event_t*>(message);
        if (news->type == manager_ && news->format == 32 && news->data.data32[1] == selection_)
            follow();
        break;
    }
    case XCB_DESTROY_NOTIFY:
        if (static_cast<const xcb_destroy_notify_event_t*>(message)->window == owner_) follow();
        break;
    default:
        break;
    }
    return false;
}

} // namespace sorvo::platform

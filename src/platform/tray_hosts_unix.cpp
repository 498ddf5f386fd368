#include "platform/tray_hosts.h"

#include <QDBusConnection>
#include <QDBusInterface>
#include <QDBusServiceWatcher>
#include <QGuiApplication>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <xcb/xcb.h>

namespace sorvo::platform {

namespace {
const QString watcherService = QStringLiteral("org.kde.StatusNotifierWatcher");
// A tray host that comes late must show the icons within two seconds.
constexpr int xembedPollMs = 500;

// The X server's connection, or none: the offscreen platform offers the X11 interface even
// without a display, and then has no connection behind it.
xcb_connection_t* x11Connection() {
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->connection() : nullptr;
}

bool xembedSelectionOwned(xcb_connection_t* connection) {
    // Trays hold the selection of the screen they sit on; the program's windows use screen 0.
    // The atom stays the same for the connection's life: asked for once.
    static const xcb_atom_t selection = [connection] {
        const QByteArray name = QByteArrayLiteral("_NET_SYSTEM_TRAY_S0");
        xcb_intern_atom_reply_t* atom = xcb_intern_atom_reply(
            connection,
            xcb_intern_atom(connection, 0, static_cast<uint16_t>(name.size()), name.constData()),
            nullptr);
        const xcb_atom_t found = atom ? atom->atom : xcb_atom_t{XCB_ATOM_NONE};
        std::free(atom);
        return found;
    }();
    if (selection == XCB_ATOM_NONE) return false;
    xcb_get_selection_owner_reply_t* owner = xcb_get_selection_owner_reply(
        connection, xcb_get_selection_owner(connection, selection), nullptr);
    const bool owned = owner && owner->owner != XCB_NONE;
    std::free(owner);
    return owned;
}
} // namespace

TrayHosts& TrayHosts::instance() {
    static TrayHosts* hosts = new TrayHosts;
    return *hosts;
}

TrayHosts::TrayHosts()
    : watcher_(new QDBusServiceWatcher(watcherService, QDBusConnection::sessionBus(),
                                       QDBusServiceWatcher::WatchForOwnerChange, this)) {
    connect(watcher_, &QDBusServiceWatcher::serviceOwnerChanged, this, [this] {
        readStatusNotifierHost();
        emit changed();
    });
    QDBusConnection::sessionBus().connect(
        watcherService, QStringLiteral("/StatusNotifierWatcher"), watcherService,
        QStringLiteral("StatusNotifierHostRegistered"), this, SLOT(readStatusNotifierHost()));
    readStatusNotifierHost();
    if (x11Connection()) {
        readEmbeddedTray();
        auto* poll = new QTimer(this);
        connect(poll, &QTimer::timeout, this, &TrayHosts::readEmbeddedTray);
        poll->start(xembedPollMs);
    }
    announce();
}

void TrayHosts::readStatusNotifierHost() {
    QDBusInterface watcher(watcherService, QStringLiteral("/StatusNotifierWatcher"), watcherService,
                           QDBusConnection::sessionBus());
    const bool registered =
        watcher.isValid() && watcher.property("IsStatusNotifierHostRegistered").toBool();
    if (registered == statusNotifierHost_) return;
    statusNotifierHost_ = registered;
    emit changed();
}

void TrayHosts::readEmbeddedTray() {
    const bool owned = xembedSelectionOwned(x11Connection());
    if (owned == embeddedTray_) return;
    embeddedTray_ = owned;
    emit changed();
}

void TrayHosts::announce() {
    if (any() || announced_) return;
    announced_ = true;
    std::fprintf(stderr, "No tray was found: the tray menu opens with a right click on the "
                         "title strip.\n");
}

} // namespace sorvo::platform

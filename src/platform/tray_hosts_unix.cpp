#include "platform/tray_hosts.h"
#include "platform/xembed_tray_watch.h"

#include <QDBusConnection>
#include <QDBusInterface>
#include <QDBusServiceWatcher>
#include <cstdio>

namespace sorvo::platform {

namespace {
const QString watcherService = QStringLiteral("org.kde.StatusNotifierWatcher");
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
    if (auto* embedded = XembedTrayWatch::create(this)) {
        embeddedTray_ = embedded->present();
        connect(embedded, &XembedTrayWatch::presenceChanged, this, [this](bool present) {
            embeddedTray_ = present;
            emit changed();
        });
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

void TrayHosts::announce() {
    if (any() || announced_) return;
    announced_ = true;
    std::fprintf(stderr, "No tray was found: the tray menu opens with a right click on the "
                         "title strip.\n");
}

} // namespace sorvo::platform

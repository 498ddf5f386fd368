#include "config/log_categories.h"
#include "platform/tray_hosts.h"
#include "platform/xembed_tray_watch.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusServiceWatcher>
#include <QDBusVariant>

namespace sorvo::platform {

namespace {
const QString watcherService = QStringLiteral("org.kde.StatusNotifierWatcher");
const QString watcherPath = QStringLiteral("/StatusNotifierWatcher");
TrayHosts* theHosts = nullptr;
} // namespace

TrayHosts& TrayHosts::instance() {
    Q_ASSERT(theHosts);
    return *theHosts;
}

TrayHosts::TrayHosts()
    : watcher_(new QDBusServiceWatcher(watcherService, QDBusConnection::sessionBus(),
                                       QDBusServiceWatcher::WatchForOwnerChange, this)) {
    Q_ASSERT(!theHosts);
    theHosts = this;
    connect(watcher_, &QDBusServiceWatcher::serviceOwnerChanged, this,
            &TrayHosts::readStatusNotifierHost);
    QDBusConnection::sessionBus().connect(watcherService, watcherPath, watcherService,
                                          QStringLiteral("StatusNotifierHostRegistered"), this,
                                          SLOT(readStatusNotifierHost()));
    if (auto* embedded = XembedTrayWatch::create(this)) {
        embeddedTray_ = embedded->present();
        connect(embedded, &XembedTrayWatch::presenceChanged, this, [this](bool present) {
            embeddedTray_ = present;
            if (known()) emit changed();
        });
    }
    readStatusNotifierHost();
}

TrayHosts::~TrayHosts() {
    theHosts = nullptr;
}

void TrayHosts::readStatusNotifierHost() {
    const quint64 read = ++reads_;
    QDBusMessage ask = QDBusMessage::createMethodCall(
        watcherService, watcherPath, QStringLiteral("org.freedesktop.DBus.Properties"),
        QStringLiteral("Get"));
    ask << watcherService << QStringLiteral("IsStatusNotifierHostRegistered");
    auto* answer = new QDBusPendingCallWatcher(QDBusConnection::sessionBus().asyncCall(ask), this);
    connect(answer, &QDBusPendingCallWatcher::finished, this,
            [this, read](QDBusPendingCallWatcher* call) {
                const QDBusPendingReply<QDBusVariant> reply = *call;
                call->deleteLater();
                // No watcher on the bus, or none that answers: no host behind it either.
                onStatusNotifierHost(read, reply.isValid() && reply.value().variant().toBool());
            });
}

void TrayHosts::onStatusNotifierHost(quint64 read, bool registered) {
    if (read != reads_) return;
    const bool first = answered_ == 0;
    answered_ = read;
    statusNotifierHost_ = registered;
    if (first) announce();
    emit changed();
}

void TrayHosts::announce() {
    if (any()) return;
    qCWarning(platformLog,
              "No tray was found: the tray menu opens with a right click on the title strip.");
}

} // namespace sorvo::platform

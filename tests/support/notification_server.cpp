#include "support/notification_server.h"

namespace {
const QString service = QStringLiteral("org.freedesktop.Notifications");
}

NotificationServer::NotificationServer()
    : connection_(QDBusConnection::connectToBus(QDBusConnection::SessionBus,
                                                QStringLiteral("notification-server"))) {
    connection_.registerObject(QStringLiteral("/org/freedesktop/Notifications"), this,
                               QDBusConnection::ExportScriptableSlots);
    connection_.registerService(service);
}

NotificationServer::~NotificationServer() {
    connection_.unregisterService(service);
    QDBusConnection::disconnectFromBus(connection_.name());
}

uint NotificationServer::Notify(const QString& appName, uint replacesId, const QString&,
                                const QString& summary, const QString& body, const QStringList&,
                                const QVariantMap& hints, int) {
    notices.append({appName, replacesId, summary, body, hints});
    emit notified();
    return replacesId != 0 ? replacesId : 40 + static_cast<uint>(notices.size());
}

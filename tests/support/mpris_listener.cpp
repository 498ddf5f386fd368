#include "support/mpris_listener.h"

#include <QDBusArgument>
#include <QDBusConnectionInterface>
#include <QDBusVariant>
#include <QRegularExpression>

namespace {

const QString objectPath = QStringLiteral("/org/mpris/MediaPlayer2");
const QString propertiesInterface = QStringLiteral("org.freedesktop.DBus.Properties");

// Maps inside a variant arrive undecoded; Metadata is the one read here.
QVariant decoded(const QVariant& value) {
    if (value.canConvert<QDBusArgument>())
        return qdbus_cast<QVariantMap>(value.value<QDBusArgument>());
    return value;
}

} // namespace

MprisListener::MprisListener(const QString& busName)
    : service_(QStringLiteral("org.mpris.MediaPlayer2.") + busName),
      connection_(QDBusConnection::connectToBus(QDBusConnection::SessionBus,
                                                QStringLiteral("listener-") + busName)) {
    connection_.connect(service_, objectPath, propertiesInterface,
                        QStringLiteral("PropertiesChanged"), this,
                        SLOT(onPropertiesChanged(QString, QVariantMap, QStringList)));
}

QStringList MprisListener::mediaPlayers() {
    return connection_.interface()->registeredServiceNames().value().filter(
        QRegularExpression(QStringLiteral("^org\\.mpris\\.MediaPlayer2\\.")));
}

QDBusMessage MprisListener::call(const QString& interface, const QString& method,
                                 const QVariantList& arguments) {
    QDBusMessage message = QDBusMessage::createMethodCall(service_, objectPath, interface, method);
    message.setArguments(arguments);
    return connection_.call(message, QDBus::BlockWithGui, 5000);
}

QVariant MprisListener::property(const QString& interface, const QString& name) {
    const QDBusMessage reply = call(propertiesInterface, QStringLiteral("Get"), {interface, name});
    if (reply.type() != QDBusMessage::ReplyMessage) return {};
    return decoded(reply.arguments().constFirst().value<QDBusVariant>().variant());
}

void MprisListener::setPlayerProperty(const QString& name, const QVariant& value) {
    call(propertiesInterface, QStringLiteral("Set"),
         {playerInterface, name, QVariant::fromValue(QDBusVariant(value))});
}

bool MprisListener::announced(const QString& name, const QVariant& value) const {
    for (const QVariantMap& change : changes)
        if (change.contains(name) && change.value(name) == value) return true;
    return false;
}

void MprisListener::onPropertiesChanged(const QString& interface, const QVariantMap& changed,
                                        const QStringList&) {
    QVariantMap values;
    for (auto it = changed.begin(); it != changed.end(); ++it)
        values.insert(it.key(), decoded(it.value()));
    interfaces << interface;
    changes << values;
    emit propertiesAnnounced();
}

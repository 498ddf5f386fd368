#include "platform/mpris_controls.h"

#include "config/log_categories.h"
#include "platform/mpris_adaptors.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QMetaProperty>
#include <memory>

namespace sorvo::platform {

namespace {

const QString objectPath = QStringLiteral("/org/mpris/MediaPlayer2");

QString serviceName(const MediaIdentity& identity) {
    return QStringLiteral("org.mpris.MediaPlayer2.") + identity.busName;
}

QVariantMap readProperties(const QObject& adaptor) {
    QVariantMap values;
    const QMetaObject& meta = *adaptor.metaObject();
    for (int i = meta.propertyOffset(); i < meta.propertyCount(); ++i)
        values.insert(QString::fromLatin1(meta.property(i).name()),
                      meta.property(i).read(&adaptor));
    return values;
}

QString interfaceName(const QObject& adaptor) {
    const QMetaObject& meta = *adaptor.metaObject();
    return QString::fromLatin1(meta.classInfo(meta.indexOfClassInfo("D-Bus Interface")).value());
}

bool sameTrack(const MediaState& a, const MediaState& b) {
    return a.title == b.title && a.artists == b.artists && a.album == b.album &&
           a.artUrl == b.artUrl;
}

} // namespace

MprisControls::MprisControls(const MediaIdentity& identity, const QDBusConnection& bus)
    : identity_(identity), bus_(bus), player_(new MprisPlayerAdaptor(*this)) {
    new MprisRootAdaptor(*this);
    if (!bus_.isConnected()) {
        failure_ = QStringLiteral("no session bus");
        return;
    }
    if (!bus_.registerObject(objectPath, this)) {
        failure_ = objectPath + QStringLiteral(" is taken");
        return;
    }
    ownsObject_ = true;
    const QDBusReply<QDBusConnectionInterface::RegisterServiceReply> reply =
        bus_.interface()->registerService(serviceName(identity_),
                                          QDBusConnectionInterface::DontQueueService,
                                          QDBusConnectionInterface::DontAllowReplacement);
    if (!reply.isValid())
        failure_ = reply.error().message();
    else if (reply.value() != QDBusConnectionInterface::ServiceRegistered)
        failure_ = serviceName(identity_) + QStringLiteral(" is taken");
}

MprisControls::~MprisControls() {
    if (!ownsObject_) return;
    if (failure_.isEmpty()) bus_.unregisterService(serviceName(identity_));
    bus_.unregisterObject(objectPath);
}

QDBusObjectPath MprisControls::trackId() const {
    return QDBusObjectPath(QStringLiteral("/%1/track/%2").arg(identity_.busName).arg(track_));
}

void MprisControls::show(const MediaState& state) {
    const QVariantMap before = readProperties(*player_);
    if (!sameTrack(state, state_)) ++track_;
    state_ = state;
    QVariantMap changed = readProperties(*player_);
    for (auto it = changed.begin(); it != changed.end();)
        it = it.value() == before.value(it.key()) ? changed.erase(it) : std::next(it);
    if (!changed.isEmpty()) announce(changed);
}

void MprisControls::announce(const QVariantMap& changed) {
    QDBusMessage signal =
        QDBusMessage::createSignal(objectPath, QStringLiteral("org.freedesktop.DBus.Properties"),
                                   QStringLiteral("PropertiesChanged"));
    signal << interfaceName(*player_) << changed << QStringList();
    bus_.send(signal);
}

MediaControls* createMediaControls(const MediaIdentity& identity, QObject* parent) {
    auto controls = std::make_unique<MprisControls>(identity, QDBusConnection::sessionBus());
    if (!controls->failure().isEmpty()) {
        qCWarning(platformLog, "Media keys and the desktop's media panel are off: %s.",
                  qPrintable(controls->failure()));
        return nullptr;
    }
    controls->setParent(parent);
    return controls.release();
}

} // namespace sorvo::platform

#include "platform/desktop_notifications.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusServiceWatcher>

namespace sorvo::platform::notification {

// The image-data hint's value: width, height, row stride, alpha, bits per sample, channels, bytes.
struct ImageData {
    QImage rgba;
};

QDBusArgument& operator<<(QDBusArgument& argument, const ImageData& image) {
    const QImage& rgba = image.rgba;
    argument.beginStructure();
    argument << rgba.width() << rgba.height() << static_cast<int>(rgba.bytesPerLine()) << true << 8
             << 4
             << QByteArray(reinterpret_cast<const char*>(rgba.constBits()),
                           static_cast<qsizetype>(rgba.sizeInBytes()));
    argument.endStructure();
    return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, ImageData&) {
    return argument; // only ever sent
}

} // namespace sorvo::platform::notification

Q_DECLARE_METATYPE(sorvo::platform::notification::ImageData)

namespace sorvo::platform {

namespace {

using notification::ImageData;

const QString service = QStringLiteral("org.freedesktop.Notifications");
const QString path = QStringLiteral("/org/freedesktop/Notifications");

class FreedesktopNotifications final : public DesktopNotifications {
  public:
    FreedesktopNotifications(const QString& name, const QString& desktopEntry, QObject* parent)
        : DesktopNotifications(parent), name_(name), desktopEntry_(desktopEntry),
          bus_(QDBusConnection::sessionBus()),
          watcher_(service, bus_, QDBusServiceWatcher::WatchForOwnerChange) {
        connect(&watcher_, &QDBusServiceWatcher::serviceOwnerChanged, this,
                [this](const QString&, const QString&, const QString& owner) {
                    present_ = !owner.isEmpty();
                    // A new server knows nothing of the last notice.
                    shownId_ = 0;
                });
        auto* asked = new QDBusPendingCallWatcher(
            bus_.interface()->asyncCall(QStringLiteral("NameHasOwner"), service), this);
        connect(asked, &QDBusPendingCallWatcher::finished, this,
                [this](QDBusPendingCallWatcher* call) {
                    const QDBusPendingReply<bool> reply = *call;
                    if (reply.isValid()) present_ = present_ || reply.value();
                    call->deleteLater();
                });
    }

    void show(const Notice& notice) override {
        if (!present_) return;
        QVariantMap hints{{QStringLiteral("desktop-entry"), desktopEntry_},
                          {QStringLiteral("category"), QStringLiteral("x-sorvo.now-playing")}};
        if (!notice.picture.isNull())
            hints.insert(QStringLiteral("image-data"),
                         QVariant::fromValue(
                             ImageData{notice.picture.convertToFormat(QImage::Format_RGBA8888)}));
        QDBusMessage call =
            QDBusMessage::createMethodCall(service, path, service, QStringLiteral("Notify"));
        call << name_ << shownId_ << QString() << notice.summary << notice.body << QStringList()
             << hints << -1;
        auto* sent = new QDBusPendingCallWatcher(bus_.asyncCall(call), this);
        connect(sent, &QDBusPendingCallWatcher::finished, this,
                [this](QDBusPendingCallWatcher* reply) {
                    const QDBusPendingReply<uint> id = *reply;
                    if (id.isValid()) shownId_ = id.value();
                    reply->deleteLater();
                });
    }

  private:
    QString name_;
    QString desktopEntry_;
    QDBusConnection bus_;
    QDBusServiceWatcher watcher_;
    bool present_ = false;
    uint shownId_ = 0; // the notice the next one replaces; 0 for none
};

} // namespace

DesktopNotifications* createDesktopNotifications(const QString& name, const QString& desktopEntry,
                                                 QObject* parent) {
    if (!QDBusConnection::sessionBus().isConnected()) return nullptr;
    qDBusRegisterMetaType<ImageData>();
    return new FreedesktopNotifications(name, desktopEntry, parent);
}

} // namespace sorvo::platform

#include "support/tray_panel.h"

#include <QDBusArgument>
#include <QDBusConnectionInterface>
#include <QDBusMetaType>
#include <QDBusVariant>
#include <QDateTime>

namespace {
const QString watcherService = QStringLiteral("org.kde.StatusNotifierWatcher");
const QString watcherPath = QStringLiteral("/StatusNotifierWatcher");
const QString itemInterface = QStringLiteral("org.kde.StatusNotifierItem");
const QString menuInterface = QStringLiteral("com.canonical.dbusmenu");

std::pair<QString, QString> splitItem(const QString& item) {
    const qsizetype slash = item.indexOf(QLatin1Char('/'));
    return {item.left(slash), item.mid(slash)};
}

TrayMenuEntry readEntry(const QDBusArgument& argument) {
    TrayMenuEntry entry;
    argument.beginStructure();
    argument >> entry.id >> entry.properties;
    argument.beginArray();
    while (!argument.atEnd()) {
        QDBusVariant child;
        argument >> child;
        entry.children << readEntry(child.variant().value<QDBusArgument>());
    }
    argument.endArray();
    argument.endStructure();
    return entry;
}
QList<QImage> readPixmaps(const QDBusArgument& argument) {
    QList<QImage> pictures;
    argument.beginArray();
    while (!argument.atEnd()) {
        int width = 0;
        int height = 0;
        QByteArray argb;
        argument.beginStructure();
        argument >> width >> height >> argb;
        argument.endStructure();
        // Network byte order, as the protocol has it.
        const auto* bytes = reinterpret_cast<const uchar*>(argb.constData());
        QImage picture(width, height, QImage::Format_ARGB32);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const uchar* p = bytes + 4 * (y * width + x);
                picture.setPixel(x, y, qRgba(p[1], p[2], p[3], p[0]));
            }
        pictures << picture;
    }
    argument.endArray();
    return pictures;
}
} // namespace

QStringList TrayMenuEntry::captions() const {
    QStringList shown;
    for (const TrayMenuEntry& entry : children)
        shown << (entry.properties.value(QStringLiteral("type")) == QStringLiteral("separator")
                      ? QStringLiteral("-")
                      : entry.properties.value(QStringLiteral("label")).toString());
    return shown;
}

int TrayMenuEntry::idOf(const QString& caption) const {
    for (const TrayMenuEntry& entry : children)
        if (entry.properties.value(QStringLiteral("label")) == caption) return entry.id;
    return -1;
}

QStringList StatusNotifierWatcher::items() const {
    QMutexLocker locked(&lock_);
    return items_;
}

void StatusNotifierWatcher::RegisterStatusNotifierItem(const QString& service,
                                                       const QDBusMessage& call) {
    // Items name either their bus name (the path is the usual one) or only their path.
    const QString item = service.startsWith(QLatin1Char('/'))
                             ? call.service() + service
                             : service + QStringLiteral("/StatusNotifierItem");
    {
        QMutexLocker locked(&lock_);
        if (items_.contains(item)) return;
        items_ << item;
    }
    emit StatusNotifierItemRegistered(item);
}

TrayPanel::TrayPanel() {
    thread_.start();
}

TrayPanel::~TrayPanel() {
    stop();
    thread_.quit();
    thread_.wait();
}

void TrayPanel::start() {
    // A new connection each time: a restarted panel is a new client of the bus.
    const QString name = QStringLiteral("tray-panel-%1").arg(++generation_);
    connection_ = QDBusConnection::connectToBus(QDBusConnection::SessionBus, name);
    watcher_ = std::make_unique<StatusNotifierWatcher>();
    // Registering gives the watcher helpers of its own, which move to the thread with it.
    connection_.registerObject(watcherPath, watcher_.get(),
                               QDBusConnection::ExportScriptableContents |
                                   QDBusConnection::ExportAllProperties);
    watcher_->moveToThread(&thread_);
    connection_.registerService(watcherService);
}

void TrayPanel::stop() {
    if (!watcher_) return;
    connection_.unregisterService(watcherService);
    connection_.unregisterObject(watcherPath);
    QDBusConnection::disconnectFromBus(connection_.name());
    // Deleted on its own thread, where its bus watchers live.
    watcher_.release()->deleteLater();
}

QStringList TrayPanel::items() const {
    if (!watcher_) return {};
    // As a watcher does, items whose owner left the bus are gone.
    QStringList live = watcher_->items();
    live.removeIf([this](const QString& item) {
        return !connection_.interface()->isServiceRegistered(splitItem(item).first).value();
    });
    return live;
}

QDBusMessage TrayPanel::call(const QString& item, const QString& method,
                             const QVariantList& arguments) {
    const auto [service, path] = splitItem(item);
    QDBusMessage message = QDBusMessage::createMethodCall(service, path, itemInterface, method);
    message.setArguments(arguments);
    return connection_.call(message, QDBus::BlockWithGui, 5000);
}

QVariant TrayPanel::property(const QString& item, const QString& name) {
    const auto [service, path] = splitItem(item);
    QDBusMessage message = QDBusMessage::createMethodCall(
        service, path, QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    message.setArguments({itemInterface, name});
    const QDBusMessage reply = connection_.call(message, QDBus::BlockWithGui, 5000);
    if (reply.type() != QDBusMessage::ReplyMessage) return {};
    return reply.arguments().constFirst().value<QDBusVariant>().variant();
}

QList<QImage> TrayPanel::iconPixmaps(const QString& item) {
    return readPixmaps(property(item, QStringLiteral("IconPixmap")).value<QDBusArgument>());
}

QString TrayPanel::toolTip(const QString& item) {
    const QDBusArgument argument = property(item, QStringLiteral("ToolTip")).value<QDBusArgument>();
    QString iconName;
    QString title;
    QString text;
    argument.beginStructure();
    argument >> iconName;
    readPixmaps(argument);
    argument >> title >> text;
    argument.endStructure();
    return title;
}

TrayMenuEntry TrayPanel::menu(const QString& item) {
    const QString menuPath = property(item, QStringLiteral("Menu")).value<QDBusObjectPath>().path();
    QDBusMessage message = QDBusMessage::createMethodCall(
        splitItem(item).first, menuPath, menuInterface, QStringLiteral("GetLayout"));
    message.setArguments({0, -1, QStringList()});
    const QDBusMessage reply = connection_.call(message, QDBus::BlockWithGui, 5000);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().size() < 2) return {};
    return readEntry(reply.arguments().at(1).value<QDBusArgument>());
}

void TrayPanel::clickMenuEntry(const QString& item, int id) {
    const QString menuPath = property(item, QStringLiteral("Menu")).value<QDBusObjectPath>().path();
    QDBusMessage message = QDBusMessage::createMethodCall(splitItem(item).first, menuPath,
                                                          menuInterface, QStringLiteral("Event"));
    message.setArguments({id, QStringLiteral("clicked"), QVariant::fromValue(QDBusVariant(0)),
                          static_cast<uint>(QDateTime::currentSecsSinceEpoch())});
    connection_.call(message, QDBus::BlockWithGui, 5000);
}

#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QObject>
#include <QStringList>
#include <QVariantMap>

// Looks at a media player's MPRIS entry the way the desktop does: from a session bus connection
// of its own, so every call and announcement goes through the bus. Calls wait for their reply
// while the player, on this same thread, answers.
class MprisListener : public QObject {
    Q_OBJECT
  public:
    // The entry org.mpris.MediaPlayer2.<busName>.
    explicit MprisListener(const QString& busName);

    QDBusConnection& connection() { return connection_; }
    QString service() const { return service_; }
    // Every org.mpris.MediaPlayer2.* name on the bus.
    QStringList mediaPlayers();

    QDBusMessage call(const QString& interface, const QString& method,
                      const QVariantList& arguments = {});
    QDBusMessage callPlayer(const QString& method) { return call(playerInterface, method); }
    QVariant property(const QString& interface, const QString& name);
    QVariant rootProperty(const QString& name) { return property(rootInterface, name); }
    QVariant playerProperty(const QString& name) { return property(playerInterface, name); }
    void setPlayerProperty(const QString& name, const QVariant& value);

    // What the player announced with PropertiesChanged, oldest first.
    QStringList interfaces;
    QList<QVariantMap> changes;
    // Whether any announcement so far set `name` to `value`.
    bool announced(const QString& name, const QVariant& value) const;

    static inline const QString rootInterface = QStringLiteral("org.mpris.MediaPlayer2");
    static inline const QString playerInterface = QStringLiteral("org.mpris.MediaPlayer2.Player");

  signals:
    void propertiesAnnounced();

  private slots:
    void onPropertiesChanged(const QString& interface, const QVariantMap& changed,
                             const QStringList& invalidated);

  private:
    QString service_;
    QDBusConnection connection_;
};

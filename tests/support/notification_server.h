#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QStringList>
#include <QVariantMap>

// A desktop's notification server (org.freedesktop.Notifications) on a session bus connection of
// its own: it records each notice it is asked to show.
class NotificationServer : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
  public:
    struct Notice {
        QString appName;
        uint replacesId;
        QString summary;
        QString body;
        QVariantMap hints;
    };

    // Takes the name on the session bus.
    NotificationServer();
    ~NotificationServer() override;

    QList<Notice> notices;

  public slots:
    Q_SCRIPTABLE uint Notify(const QString& appName, uint replacesId, const QString& appIcon,
                             const QString& summary, const QString& body,
                             const QStringList& actions, const QVariantMap& hints, int timeout);
    Q_SCRIPTABLE QStringList GetCapabilities() { return {QStringLiteral("body")}; }

  signals:
    void notified();

  private:
    QDBusConnection connection_;
};

#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QImage>
#include <QList>
#include <QMutex>
#include <QObject>
#include <QStringList>
#include <QThread>
#include <QVariantMap>
#include <memory>

// The StatusNotifierWatcher that items register with. It answers on a thread of its own: the
// client asks it questions with blocking calls from the test's thread.
class StatusNotifierWatcher : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierWatcher")
    Q_PROPERTY(QStringList RegisteredStatusNotifierItems READ items)
    Q_PROPERTY(bool IsStatusNotifierHostRegistered READ hostRegistered)
    Q_PROPERTY(int ProtocolVersion READ protocolVersion)
  public:
    QStringList items() const;
    bool hostRegistered() const { return true; }
    int protocolVersion() const { return 0; }

  public slots:
    Q_SCRIPTABLE void RegisterStatusNotifierItem(const QString& service, const QDBusMessage& call);
    Q_SCRIPTABLE void RegisterStatusNotifierHost(const QString&) {}

  signals:
    Q_SCRIPTABLE void StatusNotifierItemRegistered(const QString& item);
    Q_SCRIPTABLE void StatusNotifierItemUnregistered(const QString& item);
    Q_SCRIPTABLE void StatusNotifierHostRegistered();

  private:
    mutable QMutex lock_;
    QStringList items_;
};

// One entry of an item's exported menu, as GetLayout gives it.
struct TrayMenuEntry {
    int id = 0;
    QVariantMap properties;
    QList<TrayMenuEntry> children;

    // The children's labels, "-" for a separator.
    QStringList captions() const;
    // The id of the child labelled `caption`; -1 if none is.
    int idOf(const QString& caption) const;
};

// A desktop panel on the session bus as KDE's or waybar's: the watcher and a host that reads the
// items and clicks them. `start` and `stop` bring the panel up and down like a panel restart.
class TrayPanel {
  public:
    TrayPanel();
    ~TrayPanel();

    void start();
    void stop();

    // The registered items as "service/path".
    QStringList items() const;
    QVariant property(const QString& item, const QString& name);
    // The pictures of IconPixmap, largest first.
    QList<QImage> iconPixmaps(const QString& item);
    // The tooltip's title, the text a panel shows on hover.
    QString toolTip(const QString& item);
    QDBusMessage call(const QString& item, const QString& method, const QVariantList& arguments);
    TrayMenuEntry menu(const QString& item);
    void clickMenuEntry(const QString& item, int id);

  private:
    QDBusConnection connection_{QString()};
    int generation_ = 0;
    QThread thread_;
    std::unique_ptr<StatusNotifierWatcher> watcher_;
};

#pragma once

#include <QObject>

class QDBusServiceWatcher;

namespace sorvo::platform {

// Which tray hosts the desktop has right now: a StatusNotifierItem host behind the watcher on the
// session bus, or a tray that embeds icons (an XEmbed tray holding the X11 tray selection, the
// Windows notification area). Asking never touches Qt's own
// tray code, which decides its protocol once, at its first call, for the life of the process.
class TrayHosts : public QObject {
    Q_OBJECT
  public:
    static TrayHosts& instance();

    bool statusNotifierHost() const { return statusNotifierHost_; }
    bool embeddedTray() const { return embeddedTray_; }
    bool any() const { return statusNotifierHost_ || embeddedTray_; }

  signals:
    // Some host came, went or was replaced (a panel restart).
    void changed();

  private slots:
    void readStatusNotifierHost();

  private:
    TrayHosts();
    void announce();

    QDBusServiceWatcher* watcher_;
    bool statusNotifierHost_ = false;
    bool embeddedTray_ = false;
    bool announced_ = false;
};

} // namespace sorvo::platform

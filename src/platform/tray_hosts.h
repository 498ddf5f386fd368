#pragma once

#include <QObject>

class QDBusServiceWatcher;

namespace sorvo::platform {

// Which tray hosts the desktop has right now: a StatusNotifierItem host behind the watcher on the
// session bus, or a tray that embeds icons (an XEmbed tray holding the X11 tray selection, the
// Windows notification area). Asking never touches Qt's own tray code, which decides its
// protocol once, at its first call, for the life of the process. The session bus is asked
// without waiting, again whenever the watcher changes hands or a host registers; until the
// latest question has its answer, nothing is known.
//
// The program has one, made by its owner after the application object and kept while any window
// lives; instance() is that one.
class TrayHosts : public QObject {
    Q_OBJECT
  public:
    TrayHosts();
    ~TrayHosts() override;
    TrayHosts(const TrayHosts&) = delete;
    TrayHosts& operator=(const TrayHosts&) = delete;

    static TrayHosts& instance();

    // Whether the session bus has answered the latest question, so that the figures below are
    // the desktop's.
    bool known() const { return answered_ == reads_; }
    bool statusNotifierHost() const { return statusNotifierHost_; }
    bool embeddedTray() const { return embeddedTray_; }
    bool any() const { return statusNotifierHost_ || embeddedTray_; }

  signals:
    // Once for each answer of the session bus, and for each XEmbed tray that comes or goes
    // while the answer is known.
    void changed();

  private slots:
    void readStatusNotifierHost();

  private:
    void onStatusNotifierHost(quint64 read, bool registered);
    // Says once, at the first answer, when the desktop has no tray.
    void announce();

    QDBusServiceWatcher* watcher_ = nullptr;
    // Which read of the bus is the latest and which one was answered last; the answers to
    // earlier ones are dropped.
    quint64 reads_ = 0;
    quint64 answered_ = 0;
    bool statusNotifierHost_ = false;
    bool embeddedTray_ = false;
};

} // namespace sorvo::platform

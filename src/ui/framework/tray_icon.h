#pragma once

#include <QObject>
#include <QString>

class QMenu;
class QSystemTrayIcon;

namespace sorvo::ui {

// How the listener used a tray icon.
enum class TrayActivation { Click, DoubleClick, ContextMenu, MiddleClick };

// A window's notification-area icon. It goes up only once the desktop has a tray host: Qt picks
// the protocol at its first tray call for good, and a StatusNotifierItem host that comes late
// would otherwise never get the icon.
class TrayIcon : public QObject {
    Q_OBJECT
  public:
    explicit TrayIcon(QObject* parent);
    ~TrayIcon() override;

    // Sets the icon (a catalogue picture name) and its tooltip, putting the icon up if needed.
    void set(const QString& pictureName, const QString& tooltip);
    QString tooltip() const;
    bool isShown() const;
    // Whether the host reports only single clicks (StatusNotifierItem's Activate): there the
    // click does what a double click does on an XEmbed tray.
    bool hostClicksOnce() const;

    // Where the tray host shows an icon's menu itself, it needs the menu attached.
    void attachMenuForHost(QMenu* menu);

    // Null while no tray host has been seen.
    QSystemTrayIcon* systemIcon() const { return icon_; }

    // Takes the icon away for good: it answers no further mouse action at once, and it leaves
    // the tray once the event being handled is over. The tray host's window behind the icon
    // goes with it, and that window may be the one whose click opened a menu that is still
    // on the stack; removing it there would pull the event's receiver from under Qt.
    void discard();

  signals:
    void activated(sorvo::ui::TrayActivation activation);

  private:
    void putUp();

    QSystemTrayIcon* icon_ = nullptr;
    QMenu* menu_ = nullptr;
    QString pictureName_;
    QString tooltip_;
    bool discarded_ = false;
};

} // namespace sorvo::ui

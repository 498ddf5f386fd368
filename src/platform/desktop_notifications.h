#pragma once

#include <QImage>
#include <QObject>
#include <QString>

namespace sorvo::platform {

// A short message the desktop shows apart from the program's windows.
struct Notice {
    QString summary;
    QString body;   // plain text
    QImage picture; // shown beside the text; null for none
};

// The desktop's notifications for one program. Each notice takes the place of the one before, so
// the desktop holds at most one of ours; nothing is sent while the desktop has no notification
// server. Lives on the user-interface thread.
//
// Linux: org.freedesktop.Notifications on the session bus, named with the program's name and its
// desktop entry (the desktop's own settings can mute it by that), the picture as image data.
// Windows, for later: the tray icon's balloon (QSystemTrayIcon::showMessage) would serve.
class DesktopNotifications : public QObject {
    Q_OBJECT
  public:
    using QObject::QObject;

    virtual void show(const Notice& notice) = 0;
};

// The notifications for the program called `name` whose desktop entry's id is `desktopEntry`,
// owned by `parent`; null where the system offers none.
DesktopNotifications* createDesktopNotifications(const QString& name, const QString& desktopEntry,
                                                 QObject* parent);

} // namespace sorvo::platform

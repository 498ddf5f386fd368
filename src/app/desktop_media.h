#pragma once

#include <QObject>

namespace sorvo::app {

class MainWindow;

// Puts the radio page on the desktop's media controls (the media keys, the desktop's media
// panel): they show what the page plays, their commands go to the page, and their Raise shows
// the main window. Where there are none the client runs without them. A wake from sleep goes
// to the radio page too, which mends a play the sleep cut, and a new piece heard while the
// listener is away is told by a notification. Owns the controls, the sleep watch and the notices;
// the main window must outlive it.
class DesktopMedia : public QObject {
    Q_OBJECT
  public:
    explicit DesktopMedia(MainWindow& mainWindow);
};

} // namespace sorvo::app

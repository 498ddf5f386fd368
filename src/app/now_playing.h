#pragma once

#include "platform/media_state.h"

#include <QObject>
#include <QPointer>
#include <QTimer>

class QNetworkAccessManager;
class QNetworkReply;

namespace sorvo::platform {
class DesktopNotifications;
}

namespace sorvo::app {

class MainWindow;

// Tells the desktop what is on the air. When the piece the radio plays changes while the listener
// listens with the main window in the background, a notification names it: the title, the artist
// and the station, with the page's cover (or the program's icon). One stands at a time and at most
// one comes in ten seconds; the latest change waits for its turn. The tray icon's tooltip adds
// the title while something plays. Lives on the user-interface thread, a child of the window.
class NowPlaying : public QObject {
    Q_OBJECT
  public:
    // `notifications` may be null: the tooltip still follows.
    NowPlaying(MainWindow& window, platform::DesktopNotifications* notifications, QObject* parent);

  private:
    void onMediaChanged();
    void notifyWhenDue();
    void notify(const QImage& cover);
    bool listenerIsAway() const;

    MainWindow& window_;
    platform::DesktopNotifications* notifications_;
    QNetworkAccessManager* network_ = nullptr;
    QPointer<QNetworkReply> coverReply_;
    platform::MediaState shown_; // what the desktop was last told of
    bool seenPiece_ = false;     // something has played: the next piece is news
    bool pending_ = false;       // a change waits for the quiet time to end
    QTimer quiet_;
};

} // namespace sorvo::app

#pragma once

#include "platform/media_state.h"

#include <QObject>
#include <QVariantMap>

class QWebEngineView;

namespace sorvo::browser {

// How the page's play goes, as its media script sees it.
struct PagePlayback {
    bool wanted = false;    // the listener's last word was play
    bool paused = false;    // the listener's last word was pause or stop
    bool advancing = false; // the position moved in the last second
    bool failed = false;    // the element erred, or its live stream ended
    bool hasMedia = false;  // there is something to play
    // The page's own player feeds the element (Media Source): it fetches, not the element.
    bool fedByPlayer = false;
};

// The end of the web channel that the page's media script talks to: it reports what the page
// plays and listens for commands. Everything here is open to the page.
class PageMediaEndpoint : public QObject {
    Q_OBJECT
  public:
    using QObject::QObject;

    Q_INVOKABLE void report(const QVariantMap& state) { emit reported(state); }

  signals:
    void reported(const QVariantMap& state);
    // Media Session action names: play, pause, playpause, stop, nexttrack, previoustrack.
    void commandRequested(const QString& action);
    void volumeRequested(double volume);
};

// What the view's pages play, and the commands for it. Every document the view shows gets the page
// media script, in the page's own world before the page's scripts; it follows the page's Media
// Session (metadata and action handlers) and its media elements. A page that declares nothing is
// titled with its own title. Lives on the user-interface thread, no longer than the view.
class PageMediaBridge : public QObject {
    Q_OBJECT
  public:
    explicit PageMediaBridge(QWebEngineView& view);

    platform::MediaState media() const { return media_; }
    void perform(platform::MediaCommand command);
    void setVolume(double volume);
    // The element the page plays fetches its source again and plays on, if the listener wants it.
    void mend();

  signals:
    void mediaChanged();
    void playbackReported(const sorvo::browser::PagePlayback& playback);

  private:
    void update(const QVariantMap& report);

    QWebEngineView& view_;
    PageMediaEndpoint* endpoint_;
    QVariantMap report_;
    platform::MediaState media_;
};

} // namespace sorvo::browser

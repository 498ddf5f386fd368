#pragma once

#include "browser/page_media_bridge.h"
#include "browser/retry_schedule.h"

#include <QObject>
#include <QTimer>
#include <chrono>

class QWebEngineView;

namespace sorvo::browser {

// Keeps the radio playing while the listener wants it. When the page's play stops advancing for
// the stall time, or fails, the element first fetches its source again in place, and again a few
// seconds after each failed fetch; when that brings no sound within the stall time, the page
// reloads by the retry schedule and plays again once loaded. Where the page's own player feeds
// the element (Media Source), the element is left to it: only the page reloads, after the stall
// time. The network coming back, or the
// machine waking, mends a stalled play at once. A pause by the listener, from the page or the
// program, ends all of it until the next play. Lives on the view's thread, no longer than the view.
class StallWatch : public QObject {
    Q_OBJECT
  public:
    StallWatch(QWebEngineView& view, PageMediaBridge& media, std::chrono::milliseconds stallTime);

    // The listener asked the program to pause or stop.
    void onListenerPaused();
    // The network is back, or the machine woke: a stalled play is mended now.
    void mendNow();

  private:
    enum class Step { Watching, ElementMended, PageReloaded };

    void onPlayback(const PagePlayback& playback);
    void onNoProgress();
    void reloadPage();
    void calmDown();

    QWebEngineView& view_;
    PageMediaBridge& media_;
    RetrySchedule schedule_;
    QTimer noProgress_;
    QTimer nextReload_;
    QTimer elementRetry_;
    Step step_ = Step::Watching;
    bool wanted_ = false;
    bool advancing_ = false;
    bool fedByPlayer_ = false;
    bool failed_ = false;     // as the page last said: a failure counts when it comes
    bool playOnLoad_ = false; // the page was reloaded by this watch and should play once it can
};

} // namespace sorvo::browser

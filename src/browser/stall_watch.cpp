#include "browser/stall_watch.h"

#include "browser/network_watch.h"

#include <QWebEnginePage>
#include <QWebEngineView>

namespace sorvo::browser {

namespace {
// A refused fetch costs the server little: the element tries again after 1, 2, then every 3 s,
// so a station that restarts is heard again within seconds of its answer.
constexpr std::chrono::milliseconds firstElementRetry(1000);
constexpr std::chrono::milliseconds lastElementRetry(3000);
} // namespace

StallWatch::StallWatch(QWebEngineView& view, PageMediaBridge& media,
                       std::chrono::milliseconds stallTime)
    : view_(view), media_(media) {
    noProgress_.setSingleShot(true);
    noProgress_.setInterval(stallTime);
    nextReload_.setSingleShot(true);
    elementRetry_.setSingleShot(true);
    elementRetry_.setInterval(firstElementRetry);
    connect(&elementRetry_, &QTimer::timeout, this, [this] {
        elementRetry_.setInterval(std::min<std::chrono::milliseconds>(
            elementRetry_.intervalAsDuration() * 2, lastElementRetry));
        media_.mend();
    });
    connect(&noProgress_, &QTimer::timeout, this, &StallWatch::onNoProgress);
    connect(&nextReload_, &QTimer::timeout, this, &StallWatch::reloadPage);
    connect(&media, &PageMediaBridge::playbackReported, this, &StallWatch::onPlayback);
    whenNetworkReturns(*this, [this] { mendNow(); });
}

void StallWatch::onListenerPaused() {
    wanted_ = false;
    calmDown();
}

void StallWatch::mendNow() {
    if (!wanted_ || advancing_) return;
    if (fedByPlayer_) {
        // The page's player is given its time; the page reloads only if that brings nothing.
        if (!noProgress_.isActive() && !nextReload_.isActive()) noProgress_.start();
        return;
    }
    nextReload_.stop();
    step_ = Step::ElementMended;
    media_.mend();
    noProgress_.start();
}

// The page's last word on the listener's wish counts; a page that has not said it yet, as one
// just reloaded, leaves the wish as it was.
void StallWatch::onPlayback(const PagePlayback& playback) {
    if (playback.paused) wanted_ = false;
    if (playback.wanted) wanted_ = true;
    advancing_ = playback.advancing;
    fedByPlayer_ = playback.fedByPlayer;
    const bool newlyFailed = playback.failed && !failed_;
    failed_ = playback.failed;
    if (!wanted_ || advancing_) {
        calmDown();
        return;
    }
    if (!playback.hasMedia) {
        // A page the listener opened that plays nothing is no stall; one this watch reloads
        // still has to load.
        if (!playOnLoad_) calmDown();
        return;
    }
    if (playOnLoad_ && !playback.wanted) {
        playOnLoad_ = false;
        media_.perform(platform::MediaCommand::Play);
    }
    // A failure needs no waiting to be sure of. Once mending, a refused fetch costs little and
    // the element tries again soon, so the sound returns within seconds of the stream, while
    // the page's reloads keep to their backoff.
    if (newlyFailed && step_ == Step::Watching) {
        mendNow();
        return;
    }
    if (newlyFailed && !fedByPlayer_ && !elementRetry_.isActive()) elementRetry_.start();
    if (!noProgress_.isActive() && !nextReload_.isActive()) noProgress_.start();
}

void StallWatch::onNoProgress() {
    if (step_ == Step::Watching && !fedByPlayer_)
        mendNow();
    else
        nextReload_.start(schedule_.next());
}

void StallWatch::reloadPage() {
    step_ = Step::PageReloaded;
    playOnLoad_ = true;
    view_.page()->triggerAction(QWebEnginePage::Reload);
    noProgress_.start();
}

void StallWatch::calmDown() {
    noProgress_.stop();
    elementRetry_.stop();
    elementRetry_.setInterval(firstElementRetry);
    nextReload_.stop();
    step_ = Step::Watching;
    playOnLoad_ = false;
    if (advancing_) schedule_.restart();
}

} // namespace sorvo::browser

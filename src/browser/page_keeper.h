#pragma once

#include "browser/retry_schedule.h"
#include "browser/sliding_limit.h"

#include <QObject>
#include <QTimer>
#include <QUrl>
#include <QWebEnginePage>
#include <chrono>

class QWebEngineLoadingInfo;
class QWebEngineView;

namespace sorvo::browser {

class OfflinePanel;

// When a PageKeeper tries again.
struct KeeperTiming {
    RetrySchedule schedule;
    // How long a load may wait for the server's first answer.
    std::chrono::milliseconds answerTime = std::chrono::seconds(30);
    // Reloads after the renderer died: a page that kills its renderer at once must not keep the
    // machine busy.
    SlidingLimit crashes{3, std::chrono::minutes(1)};
};

// Keeps a browser on its page. When the page cannot be loaded (see siteUnreachable), or its
// server has not answered within the answer time, the browser shows the offline panel and
// tries again by the retry schedule, and at once when the system reports the network back.
// When the page's renderer dies, the page is loaded again, as often as the crash limit
// allows; after that the panel says so and only its button tries again. Lives on the view's
// thread, no longer than the view.
class PageKeeper : public QObject {
    Q_OBJECT
  public:
    explicit PageKeeper(QWebEngineView& view, KeeperTiming timing = {});

    // The system reports that the network is reachable again.
    void onNetworkBack();

  private:
    enum class State {
        Shown,           // the page, or the server's own answer, is shown
        Unreachable,     // the panel is up and tries come by themselves
        RendererFailing, // the panel is up and only its button tries again
    };

    void onLoadingChanged(const QWebEngineLoadingInfo& info);
    void onLoadProgress(int percent);
    void onRendererTerminated(QWebEnginePage::RenderProcessTerminationStatus status);
    void onAnswerOverdue();
    void onRetryRequested();
    void waitForNextTry();
    void tryAgain();
    QWebEnginePage& page() const;

    QWebEngineView& view_;
    KeeperTiming timing_;
    OfflinePanel* panel_;
    State state_ = State::Shown;
    QTimer nextTry_;
    QTimer answer_;
    QUrl loading_;    // the address of the load under way
    QUrl tryAddress_; // the address each new try loads
};

} // namespace sorvo::browser

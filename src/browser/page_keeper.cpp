#include "browser/page_keeper.h"

#include "browser/load_failure.h"
#include "browser/network_watch.h"
#include "browser/offline_panel.h"

#include <QWebEngineLoadingInfo>
#include <QWebEngineSettings>
#include <QWebEngineView>

namespace sorvo::browser {

PageKeeper::PageKeeper(QWebEngineView& view, KeeperTiming timing)
    : view_(view), timing_(std::move(timing)), panel_(new OfflinePanel(view)) {
    // The panel stands in for the engine's error page. Without that page a failed load leaves
    // the last page in place, and no white error page shows for a moment when the panel goes.
    page().settings()->setAttribute(QWebEngineSettings::ErrorPageEnabled, false);
    nextTry_.setSingleShot(true);
    answer_.setSingleShot(true);
    answer_.setInterval(timing_.answerTime);
    connect(&nextTry_, &QTimer::timeout, this, &PageKeeper::tryAgain);
    connect(&answer_, &QTimer::timeout, this, &PageKeeper::onAnswerOverdue);
    connect(&page(), &QWebEnginePage::loadingChanged, this, &PageKeeper::onLoadingChanged);
    connect(&page(), &QWebEnginePage::loadProgress, this, &PageKeeper::onLoadProgress);
    connect(&page(), &QWebEnginePage::renderProcessTerminated, this,
            &PageKeeper::onRendererTerminated);
    connect(panel_, &OfflinePanel::retryRequested, this, &PageKeeper::onRetryRequested);
    whenNetworkReturns(*this, [this] { onNetworkBack(); });
}

QWebEnginePage& PageKeeper::page() const {
    return *view_.page();
}

void PageKeeper::onLoadingChanged(const QWebEngineLoadingInfo& info) {
    switch (info.status()) {
    case QWebEngineLoadingInfo::LoadStartedStatus:
        loading_ = info.url();
        answer_.start();
        return;
    case QWebEngineLoadingInfo::LoadSucceededStatus:
        break;
    case QWebEngineLoadingInfo::LoadFailedStatus:
        if (siteUnreachable(info.errorDomain(), info.errorCode())) {
            answer_.stop();
            tryAddress_ = info.url();
            waitForNextTry();
            return;
        }
        // A 4xx is the server's own answer and shows as such; a load called off changes nothing.
        if (info.errorDomain() == QWebEngineLoadingInfo::HttpStatusCodeDomain) break;
        [[fallthrough]];
    case QWebEngineLoadingInfo::LoadStoppedStatus:
        if (info.url() == loading_) answer_.stop();
        // A try called off must not leave the panel waiting for nothing.
        if (state_ == State::Unreachable && !nextTry_.isActive()) waitForNextTry();
        return;
    }
    answer_.stop();
    state_ = State::Shown;
    nextTry_.stop();
    timing_.schedule.restart();
    panel_->hide();
}

// The engine reports progress only once the server has answered.
void PageKeeper::onLoadProgress(int percent) {
    if (percent > 0) answer_.stop();
}

void PageKeeper::onAnswerOverdue() {
    tryAddress_ = loading_;
    waitForNextTry();
    page().triggerAction(QWebEnginePage::Stop);
}

void PageKeeper::onRendererTerminated(QWebEnginePage::RenderProcessTerminationStatus status) {
    if (status == QWebEnginePage::NormalTerminationStatus) return;
    // Between tries the next try brings a new renderer anyway.
    if (state_ == State::RendererFailing || nextTry_.isActive()) return;
    if (state_ == State::Shown) tryAddress_ = page().url().isEmpty() ? loading_ : page().url();
    if (timing_.crashes.admit(SlidingLimit::Clock::now())) {
        page().load(tryAddress_);
        return;
    }
    state_ = State::RendererFailing;
    answer_.stop();
    panel_->showRendererFailing();
}

void PageKeeper::onRetryRequested() {
    if (state_ == State::RendererFailing) {
        timing_.crashes.clear();
        state_ = State::Unreachable;
    }
    tryAgain();
}

void PageKeeper::onNetworkBack() {
    if (state_ == State::Unreachable && nextTry_.isActive()) tryAgain();
}

void PageKeeper::waitForNextTry() {
    state_ = State::Unreachable;
    const std::chrono::milliseconds wait = timing_.schedule.next();
    nextTry_.start(wait);
    panel_->showUnreachable(QDeadlineTimer(wait));
}

void PageKeeper::tryAgain() {
    nextTry_.stop();
    panel_->showTrying();
    page().load(tryAddress_);
}

} // namespace sorvo::browser

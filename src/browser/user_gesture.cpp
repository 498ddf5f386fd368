#include "browser/user_gesture.h"

#include <QChildEvent>
#include <QWidget>

namespace sorvo::browser {

namespace {

// Long enough for a click to become the page's request on a busy machine.
constexpr qint64 gestureLifeMs = 2000;

QUrl comparable(const QUrl& address) {
    return address.adjusted(QUrl::StripTrailingSlash | QUrl::NormalizePathSegments |
                            QUrl::RemoveFragment);
}

} // namespace

UserGesture::UserGesture(QWidget& view) : view_(view) {
    watch(view);
}

void UserGesture::watch(QObject& object) {
    object.installEventFilter(this);
    for (QObject* child : object.children())
        if (child->isWidgetType()) watch(*child);
}

void UserGesture::onLinkHovered(const QUrl& link) {
    hovered_ = comparable(link);
    if (!fresh()) {
        waiting_.clear();
        return;
    }
    for (auto& [address, go] : waiting_) {
        if (address != hovered_) continue;
        const std::function<void()> asked = std::move(go);
        take();
        asked();
        return;
    }
}

bool UserGesture::fresh() const {
    return since_.isValid() && since_.elapsed() < gestureLifeMs;
}

bool UserGesture::take() {
    const bool wasFresh = fresh();
    since_.invalidate();
    waiting_.clear();
    return wasFresh;
}

void UserGesture::whenAskedFor(const QUrl& address, std::function<void()> go) {
    if (!fresh()) return;
    if (byKey_ || (!hovered_.isEmpty() && hovered_ == comparable(address))) {
        take();
        go();
        return;
    }
    // A page that asks for much at once keeps no more than a handful waiting.
    constexpr std::size_t waitingLimit = 8;
    if (waiting_.size() < waitingLimit) waiting_.emplace_back(comparable(address), std::move(go));
}

bool UserGesture::eventFilter(QObject* watched, QEvent* event) {
    // A window of the program's own over the page, such as a message box, is no part of it.
    const auto inPage = [&] { return static_cast<QWidget*>(watched)->window() == view_.window(); };
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::TouchBegin:
        if (!inPage()) break;
        since_.start();
        byKey_ = false;
        break;
    case QEvent::KeyPress:
        if (!inPage()) break;
        since_.start();
        byKey_ = true;
        break;
    case QEvent::ChildAdded:
        if (QObject* child = static_cast<QChildEvent*>(event)->child(); child->isWidgetType())
            watch(*child);
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace sorvo::browser

#include "browser/user_gesture.h"

#include <QChildEvent>
#include <QWidget>

namespace sorvo::browser {

namespace {

// Long enough for a click to become the page's request on a busy machine.
constexpr qint64 gestureLifeMs = 2000;

} // namespace

UserGesture::UserGesture(QWidget& view) : QObject(&view) {
    watch(view);
}

void UserGesture::watch(QObject& object) {
    object.installEventFilter(this);
    for (QObject* child : object.children())
        if (child->isWidgetType()) watch(*child);
}

bool UserGesture::take() {
    const bool fresh = since_.isValid() && since_.elapsed() < gestureLifeMs;
    since_.invalidate();
    return fresh;
}

bool UserGesture::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::KeyPress:
    case QEvent::TouchBegin:
        since_.start();
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

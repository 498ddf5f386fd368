#pragma once

#include <QAbstractNativeEventFilter>
#include <QProcess>
#include <QRegularExpression>
#include <QWidget>
#include <xcb/xcb.h>

// What the window manager tells the desktop about its windows, read off the root window by
// xprop: the stacking order and the window that has the keys.
namespace desktop {

inline QList<WId> rootWindows(const QString& property) {
    QProcess xprop;
    xprop.start(QStringLiteral("xprop"), {QStringLiteral("-root"), property});
    if (!xprop.waitForFinished(10000)) return {};
    static const QRegularExpression id(QStringLiteral("0x[0-9a-f]+"));
    QList<WId> windows;
    const QString line = QString::fromLatin1(xprop.readAllStandardOutput());
    for (const QRegularExpressionMatch& match : id.globalMatch(line))
        windows << match.captured().toULongLong(nullptr, 16);
    return windows;
}

// Whether `upper` stands above `lower` and has the keyboard, as the window manager has them.
inline bool aboveWithTheKeys(const QWidget& upper, const QWidget& lower) {
    const QList<WId> stacking = rootWindows(QStringLiteral("_NET_CLIENT_LIST_STACKING"));
    const QList<WId> active = rootWindows(QStringLiteral("_NET_ACTIVE_WINDOW"));
    return stacking.indexOf(upper.winId()) > stacking.indexOf(lower.winId()) &&
           stacking.indexOf(lower.winId()) >= 0 && active == QList<WId>{upper.winId()} &&
           upper.isActiveWindow();
}

// Counts the button presses the X server hands to this program, to windows blocked by a modal
// dialog too: a press arrives only once the window manager has done what the click made it do.
class PressWatch : public QAbstractNativeEventFilter {
  public:
    int presses() const { return presses_; }

    bool nativeEventFilter(const QByteArray& type, void* message, qintptr*) override {
        if (type != "xcb_generic_event_t") return false;
        const auto* event = static_cast<const xcb_generic_event_t*>(message);
        const int kind = event->response_type & 0x7f;
        // Qt takes the pointer through XInput 2, whose presses are generic events of type 4.
        if (kind == XCB_BUTTON_PRESS ||
            (kind == XCB_GE_GENERIC &&
             reinterpret_cast<const xcb_ge_generic_event_t*>(event)->event_type == 4))
            ++presses_;
        return false;
    }

  private:
    int presses_ = 0;
};

} // namespace desktop

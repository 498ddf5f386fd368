#pragma once

#include <QEvent>
#include <QList>
#include <QObject>
#include <QTest>
#include <QTimer>
#include <QWidget>

// Events that prove the program had its chance, for checks that something did not happen.

// Returns once the work queued so far (zero timers, posted calls) has run: a zero timer posted
// now runs behind it.
inline bool queuedWorkRan(int ceilingMs = 10000) {
    bool ran = false;
    QTimer::singleShot(0, [&ran] { ran = true; });
    return QTest::qWaitFor([&ran] { return ran; }, ceilingMs);
}

// Returns once `widget` (or a control on it: opaque ones may cover all of it) has painted again
// and the work queued behind that paint has run.
inline bool paintedAgain(QWidget& widget, int ceilingMs = 10000) {
    struct PaintSeen : QObject {
        bool seen = false;
        bool eventFilter(QObject*, QEvent* event) override {
            if (event->type() == QEvent::Paint) seen = true;
            return false;
        }
    } paint;
    QList<QWidget*> painters = widget.findChildren<QWidget*>();
    painters.append(&widget);
    for (QWidget* painter : painters)
        painter->installEventFilter(&paint);
    widget.update();
    const bool painted = QTest::qWaitFor([&paint] { return paint.seen; }, ceilingMs);
    for (QWidget* painter : painters)
        painter->removeEventFilter(&paint);
    return painted && queuedWorkRan(ceilingMs);
}

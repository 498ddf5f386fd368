#pragma once

#include "ui/framework/skin_window.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <QWindow>
#include <functional>

// The modal dialogs of the program run loops of their own inside the call that opens them, so a
// test reaches them from a timer that fires inside that loop.

// The modal window that is up now, exposed on the screen, or null; with a name, only that one.
inline sorvo::ui::SkinWindow* shownModalWindow(const QString& name = {}) {
    auto* window = qobject_cast<sorvo::ui::SkinWindow*>(QApplication::activeModalWidget());
    if (!window || !window->isVisible() || !window->windowHandle() ||
        !window->windowHandle()->isExposed())
        return nullptr;
    return name.isEmpty() || window->objectName() == name ? window : nullptr;
}

// Runs `step` on the modal dialog once it is up, from inside its modal loop. Gives up after
// `deadlineMs` without one; `pollMs` says how soon after it shows the step runs at most.
inline void whenModalDialogUp(std::function<void(sorvo::ui::SkinWindow&)> step, int pollMs = 20,
                              int deadlineMs = 15000) {
    auto* poll = new QTimer;
    QElapsedTimer waited;
    waited.start();
    QObject::connect(poll, &QTimer::timeout, poll,
                     [poll, waited, deadlineMs, step = std::move(step)] {
                         sorvo::ui::SkinWindow* dialog = shownModalWindow();
                         if (!dialog && !waited.hasExpired(deadlineMs)) return;
                         poll->stop();
                         poll->deleteLater();
                         if (dialog) step(*dialog);
                     });
    poll->start(pollMs);
}

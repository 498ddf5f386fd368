#pragma once

#include "update/update_controller.h"
#include "update/update_services.h"
#include "update/update_window.h"

#include <QApplication>
#include <QPointer>

// The update as the client holds it, without a main window: the download component, the
// controller that owns the update, and the one update window while it exists.
struct UpdateDesk {
    sorvo::update::DownloadComponent downloads;
    sorvo::update::UpdateController controller{downloads};
    QPointer<sorvo::update::UpdateWindow> window;

    // Shows the update window: the one that exists, or a new one.
    sorvo::update::UpdateWindow& open() {
        if (window && !window->isDestroyed()) {
            window->bringToFront();
        } else {
            window = new sorvo::update::UpdateWindow(controller);
            window->showModeless();
        }
        return *window;
    }
};

// The update of the test program, one for the whole process as the client has one.
inline UpdateDesk& programUpdates() {
    static UpdateDesk desk;
    return desk;
}

// The update window on the screen now, whoever opened it; null when there is none.
inline sorvo::update::UpdateWindow* liveUpdateWindow() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        auto* window = qobject_cast<sorvo::update::UpdateWindow*>(widget);
        if (window && !window->isDestroyed()) return window;
    }
    return nullptr;
}

#pragma once

#include "update/update_controller.h"
#include "update/update_services.h"
#include "update/update_window.h"

// The update as the client holds it, without a main window: the download component, the
// controller that owns the update, and the one update window while it stands.
struct UpdateDesk {
    sorvo::update::DownloadComponent downloads;
    sorvo::update::UpdateController controller{downloads};
    sorvo::update::UpdateWindow* window = nullptr;

    // Shows the update window: the one that stands, or a new one.
    sorvo::update::UpdateWindow& open() {
        if (window) {
            window->bringToFront();
            return *window;
        }
        window = new sorvo::update::UpdateWindow(controller);
        QObject::connect(window, &sorvo::ui::SkinWindow::closed, window,
                         [this] { window = nullptr; });
        window->showModeless();
        return *window;
    }
};

// The update of the test program, one for the whole process as the client has one.
inline UpdateDesk& programUpdates() {
    static UpdateDesk desk;
    return desk;
}

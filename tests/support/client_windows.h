#pragma once

#include "app/main_window.h"
#include "support/update_desk.h"

#include <QApplication>

// The update window standing now, whoever opened it (the test's update desk or a main window);
// null when there is none, also while a closed one waits to be deleted.
inline sorvo::update::UpdateWindow* liveUpdateWindow() {
    if (programUpdates().window) return programUpdates().window;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        auto* main = qobject_cast<sorvo::app::MainWindow*>(widget);
        if (main && main->updateWindow()) return main->updateWindow();
    }
    return nullptr;
}

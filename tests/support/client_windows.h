#pragma once

#include "app/main_window.h"
#include "support/update_desk.h"

#include <QApplication>

// The main window of the client under test, whoever made it; null when there is none.
inline sorvo::app::MainWindow* clientMainWindow() {
    for (QWidget* top : QApplication::topLevelWidgets())
        if (auto* window = qobject_cast<sorvo::app::MainWindow*>(top)) return window;
    return nullptr;
}

// The update window standing now, whoever opened it (the test's update desk or the main
// window); null when there is none, also while a closed one waits to be deleted.
inline sorvo::update::UpdateWindow* liveUpdateWindow() {
    if (programUpdates().window) return programUpdates().window;
    sorvo::app::MainWindow* main = clientMainWindow();
    return main ? main->updateWindow() : nullptr;
}

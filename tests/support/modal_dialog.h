#pragma once

#include "ui/framework/skin_window.h"

#include <QApplication>
#include <QTest>
#include <QWindow>

// The modal window that is up now, exposed on the screen, or null; with a name, only that one.
inline sorvo::ui::SkinWindow* shownModalWindow(const QString& name = {}) {
    auto* window = qobject_cast<sorvo::ui::SkinWindow*>(QApplication::activeModalWidget());
    if (!window || !window->isVisible() || !window->windowHandle() ||
        !window->windowHandle()->isExposed())
        return nullptr;
    return name.isEmpty() || window->objectName() == name ? window : nullptr;
}

// The modal dialog that comes up next, once it is on the screen; null when none does within
// `deadlineMs`.
inline sorvo::ui::SkinWindow* awaitModalDialog(int deadlineMs = 15000) {
    sorvo::ui::SkinWindow* dialog = nullptr;
    const bool shown =
        QTest::qWaitFor([&] { return (dialog = shownModalWindow()) != nullptr; }, deadlineMs);
    return shown ? dialog : nullptr;
}

// Waits until no modal dialog stands any more.
inline bool awaitNoModalDialog(int deadlineMs = 15000) {
    return QTest::qWaitFor([] { return !QApplication::activeModalWidget(); }, deadlineMs);
}

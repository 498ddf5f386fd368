#pragma once

#include <functional>

class QObject;
class QWidget;

namespace sorvo::ui {

// Runs `then` from the event loop once `window` or one of its controls has painted for the first
// time, so that slow work waits until the window is on screen. Call it before the window shows.
// Should the window go before it ever paints, `then` runs all the same: the work is put off, never
// dropped. Nothing runs once `context` is gone.
void afterFirstPaint(QWidget& window, QObject* context, std::function<void()> then);

} // namespace sorvo::ui

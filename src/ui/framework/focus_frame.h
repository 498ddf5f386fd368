#pragma once

class QPainter;
class QWidget;

namespace sorvo::ui {

// Draws the keyboard focus mark of a control that has the focus: a 1-px frame on the control's
// outermost pixels, in the palette's highlight (a window sets its focus colour there), so that it
// needs no room beside the control. Controls call it last in their painting; it draws nothing
// without the focus, nor before the keyboard is used in the window (Qt::WA_KeyboardFocusChange).
void paintFocusFrame(QWidget& control, QPainter& painter);

} // namespace sorvo::ui

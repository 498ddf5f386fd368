#include "ui/framework/focus_frame.h"

#include "ui/framework/skin_window.h"

#include <QPainter>

namespace sorvo::ui {

void paintFocusFrame(QWidget& control, QPainter& painter) {
    if (!control.hasFocus()) return;
    const auto* window = qobject_cast<const SkinWindow*>(control.window());
    if (!window || !window->design().focusColour.isValid()) return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QPen(window->design().focusColour, 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(control.rect().adjusted(0, 0, -1, -1));
    painter.restore();
}

} // namespace sorvo::ui

#include "ui/framework/focus_frame.h"

#include <QPainter>
#include <QWidget>

namespace sorvo::ui {

void paintFocusFrame(QWidget& control, QPainter& painter) {
    if (!control.hasFocus() || !control.window()->testAttribute(Qt::WA_KeyboardFocusChange)) return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QPen(control.palette().color(QPalette::Highlight), 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(control.rect().adjusted(0, 0, -1, -1));
    painter.restore();
}

} // namespace sorvo::ui

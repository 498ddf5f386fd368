#include "ui/framework/drop_down_list.h"

#include "ui/framework/focus_frame.h"

#include <QPainter>
#include <QStyleOptionComboBox>

namespace sorvo::ui {

DropDownList::DropDownList(QWidget* parent) : QComboBox(parent) {}

void DropDownList::initStyleOption(QStyleOptionComboBox* option) const {
    QComboBox::initStyleOption(option);
    // Drawn as without the focus: the focus frame is the only mark of it.
    option->state &= ~(QStyle::State_HasFocus | QStyle::State_KeyboardFocusChange);
}

void DropDownList::paintEvent(QPaintEvent* event) {
    QComboBox::paintEvent(event);
    QPainter painter(this);
    paintFocusFrame(*this, painter);
}

} // namespace sorvo::ui

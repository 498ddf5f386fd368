#include "ui/framework/keyboard_use.h"

#include "ui/framework/skin_window.h"

#include <QAbstractButton>
#include <QKeyEvent>
#include <QShortcut>
#include <algorithm>

namespace sorvo::ui {

using design::ControlKind;

KeyboardUse::KeyboardUse(SkinWindow& window) : QObject(&window), window_(window) {
    for (const design::ControlDesign& c : window.design().controls) {
        if (c.kind != ControlKind::GraphicButton && c.kind != ControlKind::DropDownList) continue;
        auto* control = window.control<QWidget>(c.formName);
        control->setFocusPolicy(Qt::StrongFocus);
        control->installEventFilter(this);
        ring_.push_back(control);
    }
    // Given now, taken when the window is first activated.
    if (!ring_.empty()) ring_.front()->setFocus();
    if (!window.design().escapeKey.isEmpty()) {
        auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), &window);
        connect(escape, &QShortcut::activated, this, &KeyboardUse::onEscape);
    }
}

bool KeyboardUse::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    const bool ctrl = key->modifiers().testFlag(Qt::ControlModifier);
    if (ctrl || (key->key() != Qt::Key_Tab && key->key() != Qt::Key_Backtab)) return false;
    moveFocus(static_cast<QWidget*>(watched), key->key() == Qt::Key_Tab ? 1 : -1);
    return true;
}

void KeyboardUse::moveFocus(QWidget* from, int step) {
    const auto size = static_cast<int>(ring_.size());
    const int at = static_cast<int>(std::find(ring_.begin(), ring_.end(), from) - ring_.begin());
    for (int i = 1; i <= size; ++i) {
        QWidget* next = ring_[static_cast<std::size_t>(((at + step * i) % size + size) % size)];
        if (next->isEnabled() && next->isVisibleTo(&window_)) {
            next->setFocus(step > 0 ? Qt::TabFocusReason : Qt::BacktabFocusReason);
            return;
        }
    }
}

void KeyboardUse::onEscape() {
    const QString& escapeKey = window_.design().escapeKey;
    if (escapeKey == design::closeRequest) {
        window_.close();
        return;
    }
    auto* button = window_.control<QAbstractButton>(escapeKey);
    if (button && button->isEnabled()) button->click();
}

} // namespace sorvo::ui

#include "ui/framework/keyboard_use.h"

#include <QAbstractButton>
#include <QKeyEvent>
#include <QPushButton>
#include <QShortcut>
#include <algorithm>

namespace sorvo::ui {

using design::ControlKind;

KeyboardUse::KeyboardUse(QWidget& window, const design::WindowDesign& design)
    : QObject(&window), window_(window), escapeKey_(design.escapeKey) {
    QWidget* first = nullptr;
    for (const design::ControlDesign& c : design.controls) {
        auto* control = window.findChild<QWidget*>(c.formName);
        if (c.kind == ControlKind::WebBrowser) {
            stops_.push_back({control, true});
            continue;
        }
        if (c.kind != ControlKind::GraphicButton && c.kind != ControlKind::DropDownList) continue;
        control->setFocusPolicy(Qt::StrongFocus);
        control->installEventFilter(this);
        stops_.push_back({control, false});
        if (!first) first = control;
    }
    // Given now, taken when the window is first activated.
    if (first) first->setFocus();
    if (!escapeKey_.isEmpty()) {
        auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), &window);
        connect(escape, &QShortcut::activated, this, &KeyboardUse::onEscape);
    }
}

bool KeyboardUse::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    // Enter presses a plain button over a page, as it presses the window's picture buttons.
    auto* pushButton = qobject_cast<QPushButton*>(watched);
    if (pushButton && (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)) {
        pushButton->click();
        return true;
    }
    const bool ctrl = key->modifiers().testFlag(Qt::ControlModifier);
    if (ctrl || (key->key() != Qt::Key_Tab && key->key() != Qt::Key_Backtab)) return false;
    moveFocus(static_cast<QWidget*>(watched), key->key() == Qt::Key_Tab ? 1 : -1);
    return true;
}

std::vector<QWidget*> KeyboardUse::ring() {
    std::vector<QWidget*> ring;
    for (const Stop& stop : stops_) {
        if (!stop.browser) {
            ring.push_back(stop.control);
            continue;
        }
        // Made by the browser as it needs them, so they are watched from the moment they count.
        for (auto* button : stop.control->findChildren<QAbstractButton*>()) {
            if (!(button->focusPolicy() & Qt::TabFocus)) continue;
            button->installEventFilter(this);
            ring.push_back(button);
        }
    }
    return ring;
}

void KeyboardUse::moveFocus(QWidget* from, int step) {
    const std::vector<QWidget*> ring = this->ring();
    const auto size = static_cast<int>(ring.size());
    if (size == 0) return;
    const int at = static_cast<int>(std::find(ring.begin(), ring.end(), from) - ring.begin());
    for (int i = 1; i <= size; ++i) {
        QWidget* next = ring[static_cast<std::size_t>(((at + step * i) % size + size) % size)];
        if (next->isEnabled() && next->isVisibleTo(&window_)) {
            next->setFocus(step > 0 ? Qt::TabFocusReason : Qt::BacktabFocusReason);
            return;
        }
    }
}

void KeyboardUse::onEscape() {
    if (escapeKey_ == design::closeRequest) {
        window_.close();
        return;
    }
    auto* button = window_.findChild<QAbstractButton*>(escapeKey_);
    if (button && button->isEnabled()) button->click();
}

} // namespace sorvo::ui

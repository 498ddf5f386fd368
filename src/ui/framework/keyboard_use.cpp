#include "ui/framework/keyboard_use.h"

#include "ui/framework/skin_window.h"

#include <QAbstractButton>
#include <QKeyEvent>
#include <QPushButton>
#include <QShortcut>

namespace sorvo::ui {

using design::ControlKind;

KeyboardUse::KeyboardUse(SkinWindow& window, const design::WindowDesign& design)
    : window_(window), escapeKey_(design.escapeKey) {
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
    window.installEventFilter(this);
    linkFocusChain();
    // Given now, taken when the window is first activated.
    if (first) first->setFocus();
    if (!escapeKey_.isEmpty()) {
        auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), &window);
        connect(escape, &QShortcut::activated, this, &KeyboardUse::onEscape);
    }
}

bool KeyboardUse::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress) {
        showFocus(false);
        return false;
    }
    if (event->type() != QEvent::KeyPress || watched == &window_) return false;
    showFocus(true);
    const auto* key = static_cast<QKeyEvent*>(event);
    // Enter presses a plain button over a page, as it presses the window's picture buttons.
    auto* pushButton = qobject_cast<QPushButton*>(watched);
    if (pushButton && (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)) {
        pushButton->click();
        return true;
    }
    // The browser's buttons come and go with its page; Qt walks the chain once it is up to date.
    if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) linkFocusChain();
    return false;
}

// Qt walks the chain; it is kept to design order here, with the browser's own buttons in its
// place and the page's widgets, made by the engine as it needs them, left to the mouse.
void KeyboardUse::linkFocusChain() {
    std::vector<QWidget*> chain;
    for (const Stop& stop : stops_) {
        if (!stop.browser) {
            chain.push_back(stop.control);
            continue;
        }
        for (auto* widget : stop.control->findChildren<QWidget*>()) {
            if (!(widget->focusPolicy() & Qt::TabFocus)) continue;
            if (!qobject_cast<QAbstractButton*>(widget)) {
                widget->setFocusPolicy(
                    static_cast<Qt::FocusPolicy>(widget->focusPolicy() & ~Qt::TabFocus));
                continue;
            }
            widget->installEventFilter(this);
            chain.push_back(widget);
        }
    }
    for (std::size_t i = 1; i < chain.size(); ++i)
        QWidget::setTabOrder(chain[i - 1], chain[i]);
}

void KeyboardUse::showFocus(bool shown) {
    if (window_.testAttribute(Qt::WA_KeyboardFocusChange) == shown) return;
    window_.setAttribute(Qt::WA_KeyboardFocusChange, shown);
    if (QWidget* focused = window_.focusWidget()) focused->update();
}

void KeyboardUse::onEscape() {
    if (escapeKey_ == design::closeRequest) {
        window_.requestClose();
        return;
    }
    auto* button = window_.findChild<QAbstractButton*>(escapeKey_);
    if (button && button->isEnabled()) button->click();
}

} // namespace sorvo::ui

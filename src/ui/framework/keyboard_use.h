#pragma once

#include "resources/window_design.h"

#include <QObject>
#include <vector>

class QWidget;

namespace sorvo::ui {

// Keyboard use of a window whose design has a focus colour. Its picture buttons and drop-down
// list take the focus, the first of them when the window opens; Tab and Shift+Tab go round them
// in design order, passing over disabled ones and never into a page. In a browser's place in
// that order stand the program's own buttons over its page while they show (the offline
// panel's). Escape presses the button the design names, or asks the window to close.
class KeyboardUse : public QObject {
    Q_OBJECT
  public:
    KeyboardUse(QWidget& window, const design::WindowDesign& design);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    struct Stop {
        QWidget* control;
        bool browser;
    };

    std::vector<QWidget*> ring();
    void moveFocus(QWidget* from, int step);
    void onEscape();

    QWidget& window_;
    const QString escapeKey_;
    std::vector<Stop> stops_; // in design order
};

} // namespace sorvo::ui

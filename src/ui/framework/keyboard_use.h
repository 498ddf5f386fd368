#pragma once

#include "resources/window_design.h"

#include <QObject>
#include <vector>

class QWidget;

namespace sorvo::ui {

class SkinWindow;

// Keyboard use of a window whose design has a focus colour. Its picture buttons and drop-down
// list take the focus, the first of them when the window opens, and stand in Qt's focus chain in
// design order, so that Tab and Shift+Tab go round them, passing over disabled ones and never
// into a page. In a browser's place in that order stand the program's own buttons over its page
// (the offline panel's). Escape presses the button the design names, or asks the window to close as
// the system does.
//
// The focus shows only once the keyboard is used in the window: a key press there turns on the
// window's Qt::WA_KeyboardFocusChange, which the focus frame follows, and a mouse press turns it
// off again. GUI thread only, as the window, and no longer than the window.
class KeyboardUse : public QObject {
    Q_OBJECT
  public:
    KeyboardUse(SkinWindow& window, const design::WindowDesign& design);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    struct Stop {
        QWidget* control;
        bool browser;
    };

    void linkFocusChain();
    void showFocus(bool shown);
    void onEscape();

    SkinWindow& window_;
    const QString escapeKey_;
    std::vector<Stop> stops_; // in design order
};

} // namespace sorvo::ui

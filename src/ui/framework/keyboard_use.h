#pragma once

#include <QObject>
#include <vector>

class QWidget;

namespace sorvo::ui {

class SkinWindow;

// Keyboard use of a window whose design has a focus colour. Its picture buttons and drop-down
// list take the focus, the first of them when the window opens; Tab and Shift+Tab go round them
// in design order, passing over disabled ones and never into a page; Escape presses the button
// the design names, or asks the window to close.
class KeyboardUse : public QObject {
    Q_OBJECT
  public:
    explicit KeyboardUse(SkinWindow& window);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void moveFocus(QWidget* from, int step);
    void onEscape();

    SkinWindow& window_;
    std::vector<QWidget*> ring_; // in design order
};

} // namespace sorvo::ui

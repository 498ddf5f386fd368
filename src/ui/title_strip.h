#pragma once

#include <QObject>

namespace sorvo::ui {

class Canvas;
class SkinWindow;

// Draws the minimise and close glyphs onto the strip and makes the composed strip its
// background picture, so clearing a rectangle later restores the buttons too.
void composeTitleStrip(Canvas& canvas);

// The drawn title strip of the main window: hover and press effects on its two buttons,
// minimise, the quit confirmation, and dragging the window by the rest of the strip.
class TitleStrip : public QObject {
    Q_OBJECT
  public:
    // Connects the canvas's mouse events to the handlers below.
    TitleStrip(Canvas& canvas, SkinWindow& mainWindow);

    bool minimiseHovered() const { return minimiseHovered_; }
    bool closeHovered() const { return closeHovered_; }
    bool minimisePressed() const { return minimisePressed_; }
    bool closePressed() const { return closePressed_; }

  public slots:
    void onStripPointerMove(int x, int y);
    void onStripButtonDown(int x, int y);
    void onStripButtonUp(int x, int y);

  private:
    void resetFlags();

    Canvas& canvas_;
    SkinWindow& mainWindow_;
    bool minimiseHovered_ = false;
    bool closeHovered_ = false;
    bool minimisePressed_ = false;
    bool closePressed_ = false;
};

} // namespace sorvo::ui

#pragma once

#include "ui/framework/dense_picture.h"

#include <QLabel>

namespace sorvo::ui {

// Shows a catalogue picture at its own size from the top left, as drawn for the screen it is on;
// an animated GIF plays for as long as the box exists.
class PictureBox : public QLabel {
    Q_OBJECT
  public:
    PictureBox(QWidget* parent, const QString& pictureName);
    bool isAnimated() const { return movie() != nullptr; }

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    // Shows the picture drawn for the screen the box is on now, unless it already shows.
    void followDensity();

    DensePicture picture_;
};

} // namespace sorvo::ui

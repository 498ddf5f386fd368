#pragma once

#include <QLabel>

namespace sorvo::ui {

// Shows a catalogue picture at its own size from the top left; an animated GIF plays for as long
// as the box exists.
class PictureBox : public QLabel {
    Q_OBJECT
  public:
    PictureBox(QWidget* parent, const QString& pictureName);
    bool isAnimated() const { return movie() != nullptr; }

  protected:
    void resizeEvent(QResizeEvent* event) override;
};

} // namespace sorvo::ui

#pragma once

#include "ui/framework/dense_picture.h"

#include <QLabel>

namespace sorvo::ui {

// A label whose background is a picture (cut from the window's backdrop), so its text seems to
// lie directly on the window.
class SkinLabel : public QLabel {
    Q_OBJECT
  public:
    SkinLabel(QWidget* parent, const QString& backgroundPicture);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    DensePicture background_;
};

} // namespace sorvo::ui

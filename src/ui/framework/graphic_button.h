#pragma once

#include "ui/framework/dense_picture.h"

#include <QAbstractButton>
#include <QPixmap>

namespace sorvo::ui {

// A button drawn only from pictures: the normal one, and the highlighted one while the pointer
// is over it (and while it is held down). Its caption is kept but not drawn: the pictures carry
// the words. The pictures are those drawn for the screen it shows on (see picture_loader). It takes
// keyboard focus only where its window's design gives keyboard use; then Space and Enter press it
// and the focus frame marks it.
class GraphicButton : public QAbstractButton {
    Q_OBJECT
  public:
    GraphicButton(QWidget* parent, const QString& normalPicture, const QString& highlightedPicture);

    bool showsHighlighted() const;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

  private:
    // Loads the faces drawn for the device pixel ratio, unless they already are.
    void loadFaces(qreal devicePixelRatio);

    DensePicture normal_;
    DensePicture highlighted_; // empty: the normal picture
    QPixmap disabled_;
    bool hovered_ = false;
};

} // namespace sorvo::ui

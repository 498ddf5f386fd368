#pragma once

#include <QPixmap>
#include <QString>

namespace sorvo::ui {

// A catalogue picture held for the density its widget is drawn at now: loaded again only when
// the widget has gone to a screen of another density. Without a name it stays empty.
class DensePicture {
  public:
    explicit DensePicture(QString pictureName) : name_(std::move(pictureName)) {}

    // Brings the picture to `devicePixelRatio`; true when it was loaded anew.
    bool follow(qreal devicePixelRatio);
    const QPixmap& pixmap() const { return pixmap_; }
    bool isEmpty() const { return name_.isEmpty(); }

  private:
    QString name_;
    int density_ = 0;
    QPixmap pixmap_;
};

} // namespace sorvo::ui

#pragma once

#include <QImage>
#include <QPixmap>
#include <QString>

namespace sorvo::ui {

// A catalogue picture held for the density its widget is drawn at now: loaded again only when
// the widget has gone to a screen of another density, and only when asked for. Without a name it
// stays empty.
class DensePicture {
  public:
    explicit DensePicture(QString pictureName) : name_(std::move(pictureName)) {}

    // Brings the picture to `devicePixelRatio`; true when its density changed.
    bool follow(qreal devicePixelRatio);
    const QPixmap& pixmap() const;
    // For widgets that work on its pixels.
    QImage image() const;
    // The catalogue file of the picture at its density, for readers that take a file.
    QString file() const;
    bool isEmpty() const { return name_.isEmpty(); }

  private:
    QString name_;
    int density_ = 0;
    mutable QPixmap pixmap_;
};

} // namespace sorvo::ui

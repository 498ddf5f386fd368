#include "ui/framework/picture_box.h"

#include "resources/pictures.h"

#include <QImageReader>
#include <QMovie>
#include <QPixmap>

namespace sorvo::ui {

PictureBox::PictureBox(QWidget* parent, const QString& pictureName) : QLabel(parent) {
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    const QString file = pictures::path(pictureName);
    if (QImageReader(file).supportsAnimation()) {
        auto* animation = new QMovie(file, {}, this);
        setMovie(animation);
        animation->start();
    } else {
        setPixmap(QPixmap(file));
    }
}

} // namespace sorvo::ui

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

void PictureBox::resizeEvent(QResizeEvent* event) {
    QLabel::resizeEvent(event);
    // A still, opaque picture that fills the box hides what lies beneath it, so that nothing
    // below is painted there, and a page playing beneath the box does not repaint it with
    // every frame.
    const QPixmap picture = pixmap();
    setAttribute(Qt::WA_OpaquePaintEvent, !isAnimated() && !picture.hasAlphaChannel() &&
                                              picture.width() >= width() &&
                                              picture.height() >= height());
}

} // namespace sorvo::ui

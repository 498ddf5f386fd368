#include "ui/framework/skin_label.h"

#include "resources/pictures.h"

#include <QPainter>

namespace sorvo::ui {

SkinLabel::SkinLabel(QWidget* parent, const QString& backgroundPicture)
    : QLabel(parent), background_(pictures::path(backgroundPicture)) {
    setWordWrap(false);
}

void SkinLabel::paintEvent(QPaintEvent* event) {
    {
        QPainter painter(this);
        painter.drawPixmap(0, 0, background_);
    }
    QLabel::paintEvent(event);
}

} // namespace sorvo::ui

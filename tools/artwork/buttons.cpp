#include "buttons.h"

#include "layout.h"
#include "paint_kit.h"

#include <cmath>

namespace artwork {
namespace {

QImage groundOf(const QImage& backdrop, const QRect& area) {
    return cut(backdrop, area).convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

} // namespace

void drawVersionButtonFace(QPainter& painter, const QRect& button, const QString& label,
                           ButtonState state) {
    const QRectF face = QRectF(button).adjusted(6, 8, -6, -9);
    if (state == ButtonState::Highlighted) {
        QPainterPath halo;
        halo.addRoundedRect(face, 9, 9);
        drawSoftShadow(painter, halo, {0, 0}, 4, QColor(0x50, 0xb0, 0xff, 200));
    }
    drawLabelledFace(painter, face, 9, state == ButtonState::Normal ? blueFace() : lightBlueFace(),
                     label, 15);
}

QImage quitButton(const QImage& backdrop, const QRect& button, const QString& label,
                  ButtonState state) {
    // The normal picture has one more row than the button; it shows only the ground.
    const int height =
        state == ButtonState::Normal ? layout::quitNormalPictureHeight : button.height();
    QImage picture = groundOf(backdrop, QRect(button.topLeft(), QSize(button.width(), height)));
    QPainter painter(&picture);
    const QRectF face(1, 1, button.width() - 2, button.height() - 3);
    drawLabelledFace(painter, face, 7, state == ButtonState::Normal ? blueFace() : orangeFace(),
                     label, 14);
    return picture;
}

QImage aboutCloseButton(const QImage& backdrop, ButtonState state) {
    const QRect button = layout::aboutCloseButton;
    QImage picture = groundOf(backdrop, button);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPointF centre(button.width() / 2.0 + 1, button.height() / 2.0 - 1);
    const double radius = 17;
    const QColor glyph = state == ButtonState::Normal ? QColor(0x4c, 0xb4, 0xff) : palette::gold;

    QPainterPath disc;
    disc.addEllipse(centre, radius, radius);
    drawSoftShadow(painter, disc, {0, 2}, 3, QColor(0, 0, 0, 190));
    QRadialGradient body(centre - QPointF(0, radius * 0.5), radius * 1.5);
    body.setColorAt(0, QColor(0x2a, 0x40, 0x4c));
    body.setColorAt(1, QColor(0x06, 0x10, 0x16));
    painter.fillPath(disc, body);
    painter.setPen(QPen(mix(glyph, QColor(0, 0, 0), 0.25), 1.6));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(centre, radius - 0.8, radius - 0.8);

    // The power glyph: an open ring and a bar through its gap, glowing in its colour.
    QPainterPath power;
    const double ring = radius * 0.5;
    QRectF ringRect(centre.x() - ring, centre.y() - ring, ring * 2, ring * 2);
    power.arcMoveTo(ringRect, 120);
    power.arcTo(ringRect, 120, 300);
    power.moveTo(centre + QPointF(0, -ring - 2));
    power.lineTo(centre + QPointF(0, -1));
    QPainterPathStroker stroker;
    stroker.setWidth(3.2);
    stroker.setCapStyle(Qt::RoundCap);
    const QPainterPath glyphShape = stroker.createStroke(power);
    drawSoftShadow(painter, glyphShape, {0, 0}, 3, glyph);
    painter.fillPath(glyphShape, mix(glyph, QColor(255, 255, 255), 0.35));

    // Glass highlight over the upper half of the disc.
    QPainterPath glass;
    glass.addEllipse(
        QRectF(centre.x() - radius * 0.7, centre.y() - radius * 0.92, radius * 1.4, radius * 0.8));
    QLinearGradient shine(glass.boundingRect().topLeft(), glass.boundingRect().bottomLeft());
    shine.setColorAt(0, QColor(255, 255, 255, 70));
    shine.setColorAt(1, QColor(255, 255, 255, 0));
    painter.fillPath(glass, shine);
    return picture;
}

QImage versionButton(const QImage& backdrop, const QRect& button, const QString& label,
                     ButtonState state) {
    QImage picture = groundOf(backdrop, button);
    QPainter painter(&picture);
    painter.translate(-button.topLeft());
    drawVersionButtonFace(painter, button, label, state);
    return picture;
}

QImage updateButton(const QImage& backdrop, const QRect& button, const QString& label) {
    QImage picture = groundOf(backdrop, button);
    QPainter painter(&picture);
    const QRectF face = QRectF(0, 0, button.width(), button.height()).adjusted(2, 3, -2, -4);
    drawLabelledFace(painter, face, 8, blueFace(), label, 13);
    return picture;
}

} // namespace artwork

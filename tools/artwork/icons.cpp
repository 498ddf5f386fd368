#include "icons.h"

#include "logo.h"
#include "paint_kit.h"

#include <QPainter>
#include <algorithm>

namespace artwork {
namespace {

struct Tile {
    QColor top;
    QColor bottom;
    QColor border;
};

// The rounded square both icons share, with a soft shadow when there is room for one. Returns
// the square's rectangle.
QRectF drawTile(QPainter& painter, int size, const Tile& tile) {
    const double margin = size >= 32 ? size / 16.0 : size >= 24 ? 1 : 0.5;
    const double shadow = size >= 32 ? size / 32.0 : 0;
    const QRectF square(margin, margin * 0.6, size - 2 * margin, size - 2 * margin - shadow * 0.6);
    const double radius = square.width() * 0.22;
    QPainterPath body;
    body.addRoundedRect(square, radius, radius);
    if (shadow > 0)
        drawSoftShadow(painter, body, {0, shadow}, std::max(1, size / 36), QColor(0, 0, 0, 120));

    QLinearGradient fill(square.topLeft(), square.bottomLeft());
    fill.setColorAt(0, tile.top);
    fill.setColorAt(1, tile.bottom);
    painter.fillPath(body, fill);

    // Gloss on the upper half.
    if (size >= 24) {
        QPainterPath gloss;
        const QRectF cap =
            square.adjusted(size / 24.0, size / 24.0, -size / 24.0, -square.height() * 0.52);
        gloss.addRoundedRect(cap, radius * 0.8, radius * 0.8);
        QLinearGradient shine(cap.topLeft(), cap.bottomLeft());
        shine.setColorAt(0, QColor(255, 255, 255, 120));
        shine.setColorAt(1, QColor(255, 255, 255, 10));
        painter.fillPath(gloss, shine);
    }
    const double pen = size >= 48 ? 1.2 : 1.0;
    painter.setPen(QPen(tile.border, pen));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(square.adjusted(pen / 2, pen / 2, -pen / 2, -pen / 2), radius, radius);
    return square;
}

// The arrow: a flame of three licks that narrows into a shaft and ends in a broad head
// pointing down. Drawn in a unit square.
QPainterPath flameArrow() {
    QPainterPath path;
    path.moveTo(0.40, 0.55);
    path.cubicTo(0.33, 0.46, 0.28, 0.34, 0.33, 0.20); // left lick, up its outer side
    path.cubicTo(0.36, 0.28, 0.40, 0.32, 0.44, 0.33); // down its inner side
    path.cubicTo(0.42, 0.22, 0.46, 0.13, 0.54, 0.07); // centre lick, up
    path.cubicTo(0.53, 0.17, 0.57, 0.24, 0.60, 0.29); // down
    path.cubicTo(0.62, 0.26, 0.65, 0.23, 0.68, 0.17); // right lick, up
    path.cubicTo(0.72, 0.30, 0.68, 0.44, 0.60, 0.55); // down its outer side to the shaft
    path.lineTo(0.77, 0.55);                          // head
    path.lineTo(0.50, 0.88);
    path.lineTo(0.23, 0.55);
    path.closeSubpath();
    return path;
}

// At the small sizes the licks would blur: one candle-like flame on the arrow instead.
QPainterPath smallFlameArrow() {
    QPainterPath path;
    path.moveTo(0.37, 0.54);
    path.cubicTo(0.33, 0.40, 0.40, 0.25, 0.52, 0.10);
    path.cubicTo(0.62, 0.27, 0.67, 0.40, 0.63, 0.54);
    path.lineTo(0.82, 0.54);
    path.lineTo(0.50, 0.90);
    path.lineTo(0.18, 0.54);
    path.closeSubpath();
    return path;
}

QImage paintIcon(int size, int scale, const auto& draw) {
    QImage image = transparentImage(QSize(size, size), scale);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    draw(painter);
    painter.end();
    return image.convertToFormat(QImage::Format_ARGB32);
}

} // namespace

QImage programIcon(int size, int scale) {
    return paintIcon(size, scale, [size](QPainter& painter) {
        const QRectF square = drawTile(
            painter, size,
            {QColor(0xe4, 0xf6, 0xff), QColor(0x8e, 0xd2, 0xff), QColor(0x3c, 0x94, 0xe0)});
        drawSwirl(painter, square.center(), square.width() * 0.40);
    });
}

QImage updateIcon(int size, int scale) {
    return paintIcon(size, scale, [size](QPainter& painter) {
        const QRectF square = drawTile(
            painter, size,
            {QColor(0xff, 0x9a, 0x52), QColor(0xe2, 0x3c, 0x16), QColor(0xa8, 0x24, 0x08)});
        QTransform toSquare;
        toSquare.translate(square.left(), square.top());
        toSquare.scale(square.width(), square.height());
        const QPainterPath arrow = toSquare.map(size >= 32 ? flameArrow() : smallFlameArrow());
        if (size >= 32)
            drawSoftShadow(painter, arrow, {0, size / 48.0}, std::max(1, size / 40),
                           QColor(0x80, 0x18, 0x00, 180));
        QLinearGradient fill(square.topLeft(), square.bottomLeft());
        fill.setColorAt(0, QColor(0xff, 0xf4, 0xc8));
        fill.setColorAt(0.45, QColor(255, 255, 255));
        painter.fillPath(arrow, fill);
    });
}

} // namespace artwork

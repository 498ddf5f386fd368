#include "cursors.h"

#include <QPainter>
#include <QPainterPath>
#include <array>

namespace artwork {
namespace {

constexpr QRgb rim = qRgb(0x4a, 0x4c, 0x52);
constexpr QRgb clear = 0;

bool opaque(const QImage& image, int x, int y) {
    return x >= 0 && y >= 0 && x < image.width() && y < image.height() &&
           qAlpha(image.pixel(x, y)) != 0;
}

// Turns every filled pixel that touches an empty one (or the tip's edges) into rim colour, so
// each shape gets a crisp 1-pixel grey outline.
void outline(QImage& image, const QRect& area) {
    const QImage before = image.copy();
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            if (!opaque(before, x, y)) continue;
            const bool edge = !opaque(before, x - 1, y) || !opaque(before, x + 1, y) ||
                              !opaque(before, x, y - 1) || !opaque(before, x, y + 1);
            if (edge) image.setPixel(x, y, rim);
        }
    }
}

// The arrow, tip at (0, 0): an orange body, lit along its left edge and shaded along its
// lower right, inside a grey rim.
void drawArrow(QImage& image) {
    const QPolygon body({{0, 0}, {0, 19}, {5, 15}, {9, 23}, {12, 22}, {8, 14}, {14, 14}});
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.setPen(QColor(0xff, 0x8c, 0x10));
        painter.setBrush(QColor(0xff, 0x8c, 0x10));
        painter.drawPolygon(body);
        // Light along the left edge, shade along the tail and the lower wing.
        painter.setPen(QColor(0xff, 0xc4, 0x6a));
        painter.drawLine(1, 2, 1, 16);
        painter.drawLine(2, 3, 2, 10);
        painter.setPen(QColor(0xd2, 0x5e, 0x00));
        painter.drawLine(6, 16, 9, 22);
        painter.drawLine(7, 16, 10, 22);
        painter.drawLine(3, 13, 12, 13);
    }
    outline(image, QRect(0, 0, 16, 25));
    // A pale grey inner line along the upper wing, under the rim.
    for (int i = 2; i <= 11; ++i)
        image.setPixel(i, i + 1, qRgb(0xc8, 0xca, 0xd0));
}

void drawBadge(QImage& image, QRgb fill) {
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.setPen(QColor::fromRgb(rim));
    painter.setBrush(QColor::fromRgb(fill));
    painter.drawEllipse(QRect(15, 15, 16, 16));
}

// Two arrows crossing, heading up-right and down-right.
void drawCrossedArrows(QImage& image) {
    constexpr QRgb arrow = qRgb(0xd8, 0x5c, 0x00);
    for (int i = 0; i <= 7; ++i) {
        image.setPixel(19 + i, 27 - i, arrow);
        image.setPixel(19 + i, 19 + i, arrow);
    }
    const std::array<QPoint, 6> upHead{
        {{24, 20}, {25, 20}, {26, 20}, {26, 21}, {26, 22}, {25, 21}}};
    const std::array<QPoint, 6> downHead{
        {{24, 26}, {25, 26}, {26, 26}, {26, 25}, {26, 24}, {25, 25}}};
    for (const QPoint p : upHead)
        image.setPixel(p, arrow);
    for (const QPoint p : downHead)
        image.setPixel(p, arrow);
}

void drawCross(QImage& image) {
    for (int i = 0; i <= 6; ++i) {
        for (int t = 0; t <= 1; ++t) {
            image.setPixel(20 + i + t, 20 + i, qRgb(255, 255, 255));
            image.setPixel(26 - i + t, 20 + i, qRgb(255, 255, 255));
        }
    }
}

} // namespace

QImage skinCursor(CursorBadge badge) {
    QImage image(32, 32, QImage::Format_ARGB32);
    image.fill(clear);
    drawArrow(image);
    switch (badge) {
    case CursorBadge::None:
        break;
    case CursorBadge::CrossedArrows:
        drawBadge(image, qRgb(0xee, 0xee, 0xf0));
        drawCrossedArrows(image);
        break;
    case CursorBadge::Cross:
        drawBadge(image, qRgb(0xe0, 0x28, 0x20));
        drawCross(image);
        break;
    }
    return image;
}

} // namespace artwork

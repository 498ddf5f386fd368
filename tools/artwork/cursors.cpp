#include "cursors.h"

#include "paint_kit.h"

#include <QPainter>
#include <QPainterPath>

namespace artwork {
namespace {

constexpr QRgb rim = qRgb(0x4a, 0x4c, 0x52);
constexpr QRgb clear = 0;

bool opaque(const QImage& image, int x, int y) {
    return x >= 0 && y >= 0 && x < image.width() && y < image.height() &&
           qAlpha(image.pixel(x, y)) != 0;
}

// Turns every filled pixel within one picture unit of an empty one (or of the tip's edges) into
// rim colour, so each shape gets a crisp 1-unit grey outline.
void outline(QImage& image, const QRect& area) {
    const QImage before = image.copy();
    const auto scale = static_cast<int>(image.devicePixelRatio());
    for (int y = area.top() * scale; y < (area.bottom() + 1) * scale; ++y) {
        for (int x = area.left() * scale; x < (area.right() + 1) * scale; ++x) {
            if (!opaque(before, x, y)) continue;
            bool edge = false;
            for (int d = 1; d <= scale && !edge; ++d)
                edge = !opaque(before, x - d, y) || !opaque(before, x + d, y) ||
                       !opaque(before, x, y - d) || !opaque(before, x, y + d);
            if (edge) image.setPixel(x, y, rim);
        }
    }
}

// A painter for hard-edged drawing. A 1-pixel pen puts a point's pixel to the right of and below
// it; at a higher scale the pen is wider than a pixel and centred, so it is moved onto the centre
// of that pixel.
void beginPixelPainting(QPainter& painter, int scale) {
    painter.setRenderHint(QPainter::Antialiasing, false);
    if (scale > 1) painter.translate(0.5, 0.5);
}

// The arrow, tip at (0, 0): an orange body, lit along its left edge and shaded along its
// lower right, inside a grey rim.
void drawArrow(QImage& image, int scale) {
    const QPolygon body({{0, 0}, {0, 19}, {5, 15}, {9, 23}, {12, 22}, {8, 14}, {14, 14}});
    {
        QPainter painter(&image);
        beginPixelPainting(painter, scale);
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
    // A pale grey inner line along the upper wing, under the rim: pixels (2, 3) to (11, 12).
    plotPixels(image, QRectF(2, 3, 10, 10), qRgb(0xc8, 0xca, 0xd0),
               [](double x, double y) { return onLine(y - x - 1); });
}

void drawBadge(QImage& image, int scale, QRgb fill) {
    QPainter painter(&image);
    beginPixelPainting(painter, scale);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.setPen(QColor::fromRgb(rim));
    painter.setBrush(QColor::fromRgb(fill));
    painter.drawEllipse(QRect(15, 15, 16, 16));
}

// Two arrows crossing, heading up-right and down-right, with their heads in the right corners
// of the 3 x 3 units at (24, 20) and (24, 24).
void drawCrossedArrows(QImage& image) {
    constexpr QRgb arrow = qRgb(0xd8, 0x5c, 0x00);
    plotPixels(image, QRectF(19, 19, 8, 9), arrow,
               [](double x, double y) { return onLine(x + y - 47) || onLine(x - y); });
    plotPixels(image, QRectF(24, 20, 3, 3), arrow,
               [](double x, double y) { return (26.5 - x) + (y - 20.5) < 2.5; });
    plotPixels(image, QRectF(24, 24, 3, 3), arrow,
               [](double x, double y) { return (26.5 - x) + (26.5 - y) < 2.5; });
}

// A white cross of two 2-unit wide diagonals over the 8 x 7 units at (20, 20).
void drawCross(QImage& image) {
    plotPixels(image, QRectF(20, 20, 8, 7), qRgb(255, 255, 255), [](double x, double y) {
        const auto onWideLine = [](double d) { return d >= -1 && d < 1; };
        return onWideLine(x - y - 0.5) || onWideLine(x + y - 47.5);
    });
}

} // namespace

QImage skinCursor(CursorBadge badge, int scale) {
    QImage image = canvasImage(QSize(32, 32), scale, QImage::Format_ARGB32);
    image.fill(clear);
    drawArrow(image, scale);
    switch (badge) {
    case CursorBadge::None:
        break;
    case CursorBadge::CrossedArrows:
        drawBadge(image, scale, qRgb(0xee, 0xee, 0xf0));
        drawCrossedArrows(image);
        break;
    case CursorBadge::Cross:
        drawBadge(image, scale, qRgb(0xe0, 0x28, 0x20));
        drawCross(image);
        break;
    }
    return image;
}

} // namespace artwork

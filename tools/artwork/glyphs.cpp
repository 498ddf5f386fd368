#include "glyphs.h"

#include "paint_kit.h"

namespace artwork {
namespace {

constexpr QRgb frame = qRgb(192, 192, 192);
constexpr QRgb symbol = qRgb(255, 255, 255);
constexpr QRgb transparent = qRgb(255, 0, 255);

// Magenta inside, a 1-unit frame around the edge.
QImage framedGlyph(QSize size, int scale) {
    QImage image = canvasImage(size, scale, QImage::Format_RGB32);
    image.fill(transparent);
    const double width = size.width();
    const double height = size.height();
    plotPixels(image, QRectF(QPointF(), size), frame, [=](double x, double y) {
        return x < 1 || y < 1 || x > width - 1 || y > height - 1;
    });
    return image;
}

} // namespace

QImage minimiseGlyph(int scale) {
    QImage image = framedGlyph(QSize(27, 20), scale);
    plotPixels(image, QRectF(10, 10, 9, 2), symbol);
    plotPixels(image, QRectF(0, 17, 3, 3), transparent,
               [](double x, double y) { return x + (20 - y) < 2.5; });
    return image;
}

QImage closeGlyph(int scale) {
    QImage image = framedGlyph(QSize(40, 20), scale);
    plotPixels(image, QRectF(15, 5, 9, 9), symbol, [](double x, double y) {
        return onLine((x - 15) - (y - 5)) || onLine((x - 15) + (y - 5) - 9);
    });
    plotPixels(image, QRectF(38, 19, 2, 1), transparent);
    return image;
}

} // namespace artwork

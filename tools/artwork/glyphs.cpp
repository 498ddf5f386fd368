#include "glyphs.h"

namespace artwork {
namespace {

constexpr QRgb frame = qRgb(192, 192, 192);
constexpr QRgb symbol = qRgb(255, 255, 255);
constexpr QRgb transparent = qRgb(255, 0, 255);

// Magenta inside, a 1-pixel frame around the edge.
QImage framedGlyph(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(transparent);
    for (int x = 0; x < width; ++x) {
        image.setPixel(x, 0, frame);
        image.setPixel(x, height - 1, frame);
    }
    for (int y = 0; y < height; ++y) {
        image.setPixel(0, y, frame);
        image.setPixel(width - 1, y, frame);
    }
    return image;
}

} // namespace

QImage minimiseGlyph() {
    QImage image = framedGlyph(27, 20);
    for (int x = 10; x <= 18; ++x)
        for (int y = 10; y <= 11; ++y)
            image.setPixel(x, y, symbol);
    image.setPixel(0, 19, transparent);
    image.setPixel(1, 19, transparent);
    image.setPixel(0, 18, transparent);
    return image;
}

QImage closeGlyph() {
    QImage image = framedGlyph(40, 20);
    for (int i = 0; i < 9; ++i) {
        image.setPixel(15 + i, 5 + i, symbol);
        image.setPixel(23 - i, 5 + i, symbol);
    }
    image.setPixel(38, 19, transparent);
    image.setPixel(39, 19, transparent);
    return image;
}

} // namespace artwork

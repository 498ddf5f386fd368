#pragma once

#include <QImage>
#include <cstdlib>

// Whether two pictures show the same: the same size, and no channel of any pixel apart by more
// than a premultiplied round trip through the display's pixmap can move it.
inline bool samePicture(const QImage& shown, const QImage& expected) {
    if (shown.size() != expected.size()) return false;
    const QImage a = shown.convertToFormat(QImage::Format_ARGB32);
    const QImage b = expected.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y);
            const QRgb q = b.pixel(x, y);
            if (std::abs(qAlpha(p) - qAlpha(q)) > 1) return false;
            // Colour under nearly no alpha is lost to premultiplication and never seen.
            const int slack = qAlpha(q) == 0 ? 255 : 1 + 255 / qAlpha(q);
            if (std::abs(qRed(p) - qRed(q)) > slack || std::abs(qGreen(p) - qGreen(q)) > slack ||
                std::abs(qBlue(p) - qBlue(q)) > slack)
                return false;
        }
    return true;
}

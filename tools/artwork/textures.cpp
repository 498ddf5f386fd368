#include "textures.h"

#include "paint_kit.h"

#include <QPainter>
#include <algorithm>
#include <cmath>
#include <numbers>

namespace artwork {

QImage carbonFibre(QSize size, int scale, double leftLight, double rightLight) {
    QImage image = canvasImage(size, scale, QImage::Format_RGB32);
    constexpr int tile = 4; // thread width in picture units
    for (int j = 0; j < image.height(); ++j) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(j));
        const double y = unitsAt(j, scale);
        const double yCentre = y + 0.5;
        // Twill: each row of tiles is shifted one tile to the right of the one above.
        const double row = std::floor(yCentre / tile);
        for (int i = 0; i < image.width(); ++i) {
            const double x = unitsAt(i, scale);
            const double shifted = x + 0.5 + row * tile;
            const double column = std::floor(shifted / tile);
            const bool across = (static_cast<int>(std::floor(column / 2) + row) & 1) == 0;
            const double u = std::fmod(across ? yCentre : shifted, tile) / tile;
            const double along = std::fmod(across ? shifted : yCentre, tile * 2) / (tile * 2);
            // Sheen across the thread, a little brighter in the middle of its length.
            const double sheen = std::pow(std::sin(u * std::numbers::pi), 1.6) *
                                 (0.75 + 0.25 * std::sin(along * std::numbers::pi));
            const double grain = valueNoise(x * 0.7, y * 0.7, 17) * 0.08;
            const double fx = std::max(0.0, x / std::max(1, size.width() - 1));
            const double fy = y / std::max(1, size.height() - 1);
            const double light = leftLight + (rightLight - leftLight) * std::pow(fx, 0.8);
            const double vignette = 1.0 - 0.25 * std::pow(std::abs(fy - 0.4) * 1.6, 2);
            const double level = (18 + 46 * sheen + 40 * grain) * light * vignette;
            const int base = std::clamp(static_cast<int>(std::lround(level)), 0, 255);
            const int blue = std::clamp(static_cast<int>(std::lround(level * 1.12 + 3)), 0, 255);
            line[i] = qRgb(base, std::clamp(base + 1, 0, 255), blue);
        }
    }
    return image;
}

QImage starrySky(QSize area, int scale, std::uint32_t seed) {
    const int width = area.width();
    const int height = area.height();
    QImage image = canvasImage(area, scale);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    QRadialGradient sky(QPointF(width * 0.5, height * 0.42), std::max(width, height) * 0.75);
    sky.setColorAt(0.0, QColor(0x6a, 0x34, 0xb4));
    sky.setColorAt(0.55, QColor(0x3d, 0x18, 0x7a));
    sky.setColorAt(1.0, QColor(0x1a, 0x08, 0x3c));
    painter.fillRect(QRect(QPoint(), area), sky);

    // Faint nebula clouds.
    for (int j = 0; j < image.height(); ++j) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(j));
        const double y = unitsAt(j, scale);
        for (int i = 0; i < image.width(); ++i) {
            const double x = unitsAt(i, scale);
            const double cloud = valueNoise(x / 38.0, y / 30.0, seed) * 0.6 +
                                 valueNoise(x / 13.0, y / 11.0, seed + 1) * 0.4;
            const int lift = static_cast<int>(std::lround(std::max(0.0, cloud - 0.45) * 60));
            const QRgb p = line[i];
            line[i] = qRgb(std::min(255, qRed(p) + lift), std::min(255, qGreen(p) + lift / 3),
                           std::min(255, qBlue(p) + lift));
        }
    }

    Random random(seed);
    const int count = width * height / 180;
    painter.setPen(Qt::NoPen);
    for (int i = 0; i < count; ++i) {
        const QPointF at(random.range(0, width), random.range(0, height));
        const double size = std::pow(random.unit(), 3) * 1.4 + 0.35;
        const int alpha = static_cast<int>(random.range(90, 255));
        const QColor tint =
            random.unit() < 0.2 ? QColor(255, 220, 255, alpha) : QColor(255, 255, 255, alpha);
        painter.setBrush(tint);
        painter.drawEllipse(at, size, size);
    }
    // A few sparkles: a bright point with a soft halo and four thin rays.
    for (int i = 0; i < std::max(3, width * height / 12000); ++i) {
        const QPointF at(random.range(8, width - 8), random.range(8, height - 8));
        const double reach = random.range(3.5, 7.0);
        QRadialGradient halo(at, reach);
        halo.setColorAt(0, QColor(255, 240, 255, 200));
        halo.setColorAt(1, QColor(255, 240, 255, 0));
        painter.setBrush(halo);
        painter.drawEllipse(at, reach, reach);
        painter.setPen(QPen(QColor(255, 255, 255, 150), 0.6));
        painter.drawLine(at - QPointF(reach * 1.5, 0), at + QPointF(reach * 1.5, 0));
        painter.drawLine(at - QPointF(0, reach * 1.5), at + QPointF(0, reach * 1.5));
        painter.setPen(Qt::NoPen);
    }
    return image;
}

QImage dottedTeal(QSize size, int scale) {
    const int width = size.width();
    const int height = size.height();
    QImage image = canvasImage(size, scale);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient ground(QPointF(0, 0), QPointF(width, height));
    ground.setColorAt(0.0, QColor(0x0f, 0x4a, 0x52));
    ground.setColorAt(0.6, QColor(0x07, 0x2c, 0x33));
    ground.setColorAt(1.0, QColor(0x03, 0x17, 0x1c));
    painter.fillRect(QRect(QPoint(), size), ground);

    constexpr double pitch = 6.0;
    painter.setPen(Qt::NoPen);
    for (double y = pitch / 2; y < height + pitch; y += pitch) {
        const int row = static_cast<int>(y / pitch);
        for (double x = (row % 2 ? pitch / 2 : 0); x < width + pitch; x += pitch) {
            const double reach = (x / width + y / height) / 2;
            const double r = 0.45 + 1.15 * std::pow(reach, 1.3);
            painter.setBrush(QColor(0x3c, 0xc8, 0xc8, static_cast<int>(28 + 40 * reach)));
            painter.drawEllipse(QPointF(x, y), r, r);
        }
    }
    // A soft light from the upper left.
    QRadialGradient light(QPointF(width * 0.2, height * 0.1), width * 0.9);
    light.setColorAt(0, QColor(0x7c, 0xf0, 0xf0, 60));
    light.setColorAt(1, QColor(0x7c, 0xf0, 0xf0, 0));
    painter.fillRect(QRect(QPoint(), size), light);
    return image;
}

} // namespace artwork

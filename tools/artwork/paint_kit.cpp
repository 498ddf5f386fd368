#include "paint_kit.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace artwork {

namespace {

double lattice(int x, int y, std::uint32_t seed) {
    std::uint32_t h = static_cast<std::uint32_t>(x) * 374761393u +
                      static_cast<std::uint32_t>(y) * 668265263u + seed * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    h ^= h >> 16;
    return static_cast<double>(h & 0xffffff) / static_cast<double>(0xffffff);
}

double smooth(double t) {
    return t * t * (3 - 2 * t);
}

// One horizontal then one vertical running-sum pass of a box blur.
void boxBlurPass(std::vector<double>& channel, int width, int height, int radius) {
    std::vector<double> line(static_cast<std::size_t>(std::max(width, height)));
    const double span = 2.0 * radius + 1;
    auto pass = [&](int count, int length, auto index) {
        for (int c = 0; c < count; ++c) {
            double sum = 0;
            for (int i = -radius; i <= radius; ++i)
                sum += channel[index(c, std::clamp(i, 0, length - 1))];
            for (int i = 0; i < length; ++i) {
                line[static_cast<std::size_t>(i)] = sum / span;
                sum += channel[index(c, std::min(i + radius + 1, length - 1))];
                sum -= channel[index(c, std::max(i - radius, 0))];
            }
            for (int i = 0; i < length; ++i)
                channel[index(c, i)] = line[static_cast<std::size_t>(i)];
        }
    };
    pass(height, width,
         [width](int row, int x) { return static_cast<std::size_t>(row * width + x); });
    pass(width, height,
         [width](int column, int y) { return static_cast<std::size_t>(y * width + column); });
}

} // namespace

double valueNoise(double x, double y, std::uint32_t seed) {
    const int x0 = static_cast<int>(std::floor(x));
    const int y0 = static_cast<int>(std::floor(y));
    const double fx = smooth(x - x0);
    const double fy = smooth(y - y0);
    const double top = lattice(x0, y0, seed) * (1 - fx) + lattice(x0 + 1, y0, seed) * fx;
    const double bottom = lattice(x0, y0 + 1, seed) * (1 - fx) + lattice(x0 + 1, y0 + 1, seed) * fx;
    return top * (1 - fy) + bottom * fy;
}

QImage canvasImage(QSize size, int scale, QImage::Format format) {
    QImage image(size * scale, format);
    image.setDevicePixelRatio(scale);
    return image;
}

QImage transparentImage(QSize size, int scale) {
    QImage image = canvasImage(size, scale);
    image.fill(Qt::transparent);
    return image;
}

QImage cut(const QImage& canvas, const QRect& area) {
    const auto scale = static_cast<int>(canvas.devicePixelRatio());
    QImage part = canvas.copy(QRect(area.topLeft() * scale, area.size() * scale));
    part.setDevicePixelRatio(scale);
    return part;
}

void plotPixels(QImage& canvas, const QRectF& area, QRgb colour,
                const std::function<bool(double, double)>& inside) {
    const double scale = canvas.devicePixelRatio();
    const QRect pixels(
        QPoint(static_cast<int>(area.left() * scale), static_cast<int>(area.top() * scale)),
        QPoint(static_cast<int>(std::ceil(area.right() * scale)) - 1,
               static_cast<int>(std::ceil(area.bottom() * scale)) - 1));
    for (int j = pixels.top(); j <= pixels.bottom(); ++j) {
        for (int i = pixels.left(); i <= pixels.right(); ++i) {
            const double x = (i + 0.5) / scale;
            const double y = (j + 0.5) / scale;
            const bool inArea =
                x >= area.left() && x < area.right() && y >= area.top() && y < area.bottom();
            if (inArea && (!inside || inside(x, y))) canvas.setPixel(i, j, colour);
        }
    }
}

QImage blurred(const QImage& source, int radius) {
    QImage image = source.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    if (radius <= 0) return image;
    const int width = image.width();
    const int height = image.height();
    std::vector<std::vector<double>> channels(
        4, std::vector<double>(static_cast<std::size_t>(width * height)));
    for (int y = 0; y < height; ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < width; ++x) {
            const auto i = static_cast<std::size_t>(y * width + x);
            channels[0][i] = qAlpha(line[x]);
            channels[1][i] = qRed(line[x]);
            channels[2][i] = qGreen(line[x]);
            channels[3][i] = qBlue(line[x]);
        }
    }
    for (auto& channel : channels)
        for (int pass = 0; pass < 3; ++pass)
            boxBlurPass(channel, width, height, radius);
    for (int y = 0; y < height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            const auto i = static_cast<std::size_t>(y * width + x);
            auto value = [&](int c) {
                return std::clamp(
                    static_cast<int>(std::lround(channels[static_cast<std::size_t>(c)][i])), 0,
                    255);
            };
            const int alpha = value(0);
            line[x] = qRgba(std::min(value(1), alpha), std::min(value(2), alpha),
                            std::min(value(3), alpha), alpha);
        }
    }
    return image;
}

void drawSoftShadow(QPainter& painter, const QPainterPath& shape, QPointF offset, int blurRadius,
                    QColor colour) {
    const QRectF bounds = shape.boundingRect().translated(offset);
    const int margin = blurRadius * 3 + 2;
    const QRect area = bounds.toAlignedRect().adjusted(-margin, -margin, margin, margin);
    const auto scale = static_cast<int>(painter.device()->devicePixelRatio());
    QImage mask = transparentImage(area.size(), scale);
    {
        QPainter p(&mask);
        p.setRenderHint(QPainter::Antialiasing);
        p.translate(offset - QPointF(area.topLeft()));
        p.fillPath(shape, colour);
    }
    painter.drawImage(area.topLeft(), blurred(mask, blurRadius * scale));
}

QFont skinFont(int pixelSize, QFont::Weight weight, bool serif) {
    QFont font(serif ? QStringLiteral("Noto Serif CJK SC") : QStringLiteral("Noto Sans CJK SC"));
    font.setPixelSize(pixelSize);
    font.setWeight(weight);
    font.setHintingPreference(QFont::PreferFullHinting);
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

void drawShadowedText(QPainter& painter, const QRectF& rect, int flags, const QString& text,
                      const QFont& font, QColor colour, QColor shadow) {
    painter.save();
    painter.setFont(font);
    painter.setPen(shadow);
    painter.drawText(rect.translated(0, 1), flags, text);
    painter.setPen(colour);
    painter.drawText(rect, flags, text);
    painter.restore();
}

FaceColours blueFace() {
    return {QColor(0x78, 0xc4, 0xff), QColor(0x2a, 0x86, 0xf0), QColor(0x10, 0x52, 0xc0),
            QColor(0x0a, 0x2f, 0x78), QColor(0xff, 0xff, 0xff)};
}

FaceColours lightBlueFace() {
    return {QColor(0xb4, 0xe4, 0xff), QColor(0x5c, 0xb2, 0xff), QColor(0x2a, 0x7c, 0xe8),
            QColor(0x16, 0x4c, 0xa0), QColor(0xff, 0xff, 0xff)};
}

FaceColours orangeFace() {
    return {QColor(0xff, 0xd0, 0x80), QColor(0xff, 0x94, 0x1a), QColor(0xe0, 0x5c, 0x00),
            QColor(0x8a, 0x34, 0x00), QColor(0xff, 0xff, 0xff)};
}

QColor mix(QColor a, QColor b, double t) {
    auto lerp = [t](int x, int y) { return static_cast<int>(std::lround(x + (y - x) * t)); };
    return QColor(lerp(a.red(), b.red()), lerp(a.green(), b.green()), lerp(a.blue(), b.blue()),
                  lerp(a.alpha(), b.alpha()));
}

void drawGlossyFace(QPainter& painter, const QRectF& rect, qreal radius,
                    const FaceColours& colours) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath body;
    body.addRoundedRect(rect, radius, radius);
    drawSoftShadow(painter, body, QPointF(0, 1.5), 2, QColor(0, 0, 0, 150));

    QLinearGradient fill(rect.topLeft(), rect.bottomLeft());
    fill.setColorAt(0.0, colours.top);
    fill.setColorAt(0.5, colours.middle);
    fill.setColorAt(1.0, colours.bottom);
    painter.fillPath(body, fill);

    // Gloss: a lighter cap over the upper half, fading out towards its middle.
    QPainterPath gloss;
    const QRectF glossRect = rect.adjusted(1.5, 1.5, -1.5, -rect.height() * 0.5);
    gloss.addRoundedRect(glossRect, radius - 1, radius - 1);
    QLinearGradient shine(glossRect.topLeft(), glossRect.bottomLeft());
    shine.setColorAt(0.0, QColor(255, 255, 255, 150));
    shine.setColorAt(1.0, QColor(255, 255, 255, 25));
    painter.fillPath(gloss, shine);

    painter.setPen(QPen(QColor(255, 255, 255, 90), 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(rect.adjusted(1, 1, -1, -1), radius - 1, radius - 1);
    painter.setPen(QPen(colours.border, 1));
    painter.drawRoundedRect(rect, radius, radius);
    painter.restore();
}

void drawLabelledFace(QPainter& painter, const QRectF& rect, qreal radius,
                      const FaceColours& colours, const QString& label, int pixelSize) {
    drawGlossyFace(painter, rect, radius, colours);
    drawShadowedText(painter, rect.adjusted(0, -1, 0, -1), Qt::AlignCenter, label,
                     skinFont(pixelSize, QFont::Bold), colours.label,
                     mix(colours.border, QColor(0, 0, 0, 160), 0.4));
}

} // namespace artwork

#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QString>
#include <cstdint>
#include <functional>

// The shared look of the skin: its colours, fonts and the few effects every picture uses
// (soft shadows, glows, glossy rounded faces, text with a shadow).
namespace artwork {

namespace palette {
inline const QColor ink(0x08, 0x12, 0x26);       // darkest navy of the backgrounds
inline const QColor navy(0x10, 0x24, 0x4d);      // lit navy
inline const QColor brandBlue(0x1f, 0x7a, 0xf0); // the logo's blue
inline const QColor skyBlue(0x6c, 0xc8, 0xff);   // its light end
inline const QColor accent(0xff, 0x80, 0x00);    // orange accent
inline const QColor gold(0xff, 0xc8, 0x3c);
inline const QColor text(0xf2, 0xf6, 0xff);
inline const QColor mutedText(0xa8, 0xbc, 0xdc);
} // namespace palette

// A small deterministic generator, so every run draws the same speckles.
class Random {
  public:
    explicit Random(std::uint32_t seed) : state_(seed ? seed : 0x9e3779b9u) {}
    std::uint32_t next() {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return state_;
    }
    // Uniform in [0, 1).
    double unit() { return static_cast<double>(next() >> 8) / static_cast<double>(1u << 24); }
    double range(double low, double high) { return low + (high - low) * unit(); }

  private:
    std::uint32_t state_;
};

// Value noise in [0, 1] from a hash of the integer lattice, smoothly interpolated.
double valueNoise(double x, double y, std::uint32_t seed);

// Every picture is drawn in picture units, `scale` pixels to the unit: 1 for the catalogue's
// pictures, 2 for their @2x twins. A canvas carries its scale as its device pixel ratio, so a
// painter on it draws in picture units and the helpers below read the scale from it.
QImage canvasImage(QSize size, int scale,
                   QImage::Format format = QImage::Format_ARGB32_Premultiplied);
QImage transparentImage(QSize size, int scale);

// Where pixel `pixel` of a canvas lies in picture units, on the grid of the 1x picture's pixels:
// at scale 1 the pixel's own index, so per-pixel drawing gives the 1x picture exactly.
inline double unitsAt(int pixel, int scale) {
    return (pixel + 0.5) / scale - 0.5;
}

// The rectangle `area` (in picture units) of a canvas, keeping its scale.
QImage cut(const QImage& canvas, const QRect& area);

// Hard-edged pixel art at any scale: paints every pixel whose centre, in picture units, lies in
// area and passes inside(x, y). At scale 1 the centre of pixel (i, j) is (i + 0.5, j + 0.5).
void plotPixels(QImage& canvas, const QRectF& area, QRgb colour,
                const std::function<bool(double, double)>& inside = {});

// For plotPixels: whether a pixel centre at the given distance from a line lies on it, the line
// being one picture unit wide. At scale 1 that takes exactly the pixels the line runs through.
inline bool onLine(double distance) {
    return distance >= -0.5 && distance < 0.5;
}

// Three box-blur passes (close to a Gaussian) over a premultiplied ARGB image.
QImage blurred(const QImage& image, int radius);

// Draws a soft shadow (or, with no offset and a light colour, a glow) of a shape, blurred at the
// scale of the painter's canvas.
void drawSoftShadow(QPainter& painter, const QPainterPath& shape, QPointF offset, int blurRadius,
                    QColor colour);

// The skin's font: Noto Sans CJK SC, or the serif face for display headings.
QFont skinFont(int pixelSize, QFont::Weight weight = QFont::Normal, bool serif = false);

// Text with a 1-pixel dark shadow below it, drawn into rect with the given alignment.
void drawShadowedText(QPainter& painter, const QRectF& rect, int flags, const QString& text,
                      const QFont& font, QColor colour, QColor shadow = QColor(0, 0, 0, 170));

// Colours of a glossy button face.
struct FaceColours {
    QColor top;
    QColor middle;
    QColor bottom;
    QColor border;
    QColor label;
};
FaceColours blueFace();
FaceColours lightBlueFace();
FaceColours orangeFace();

// A rounded glossy face: vertical gradient, a soft gloss on its upper half, a light inner edge
// and a dark border, with a soft drop shadow under it.
void drawGlossyFace(QPainter& painter, const QRectF& rect, qreal radius,
                    const FaceColours& colours);

// A face as drawGlossyFace with a centred label.
void drawLabelledFace(QPainter& painter, const QRectF& rect, qreal radius,
                      const FaceColours& colours, const QString& label, int pixelSize);

QColor mix(QColor a, QColor b, double t);

} // namespace artwork

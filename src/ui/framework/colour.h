#pragma once

#include <QColor>
#include <cstdint>

namespace sorvo::ui {

// Colours as the drawing code handles them: red in bits 0–7, green 8–15, blue 16–23.
using Colour = std::uint32_t;

constexpr Colour rgb(int r, int g, int b) {
    return static_cast<Colour>(r) | (static_cast<Colour>(g) << 8) | (static_cast<Colour>(b) << 16);
}

// The three channels; bits 24–31 are dropped.
constexpr int red(Colour c) {
    return static_cast<int>(c & 0xff);
}
constexpr int green(Colour c) {
    return static_cast<int>((c >> 8) & 0xff);
}
constexpr int blue(Colour c) {
    return static_cast<int>((c >> 16) & 0xff);
}

inline QRgb toQRgb(Colour c) {
    return qRgb(red(c), green(c), blue(c));
}
inline Colour fromQRgb(QRgb c) {
    return rgb(qRed(c), qGreen(c), qBlue(c));
}

} // namespace sorvo::ui

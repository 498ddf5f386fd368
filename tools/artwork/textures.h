#pragma once

#include <QColor>
#include <QImage>
#include <QSize>
#include <cstdint>

// The grounds of the backdrops, as canvases of the given size (in picture units) and scale.
namespace artwork {

// A woven carbon-fibre surface: a twill of small tiles, each with a sheen across its thread,
// lit from the left (light at the left edge, darkening to the right) and vignetted.
QImage carbonFibre(QSize size, int scale, double leftLight = 1.0, double rightLight = 0.35);

// A purple night sky speckled with stars of different sizes, a few of them sparkling.
QImage starrySky(QSize size, int scale, std::uint32_t seed);

// A dark teal surface of halftone dots that grow towards the lower right.
QImage dottedTeal(QSize size, int scale);

} // namespace artwork

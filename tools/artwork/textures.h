#pragma once

#include <QColor>
#include <QImage>
#include <cstdint>

// The grounds of the backdrops.
namespace artwork {

// A woven carbon-fibre surface: a twill of small tiles, each with a sheen across its thread,
// lit from the left (light at the left edge, darkening to the right) and vignetted.
QImage carbonFibre(int width, int height, double leftLight = 1.0, double rightLight = 0.35);

// A purple night sky speckled with stars of different sizes, a few of them sparkling.
QImage starrySky(int width, int height, std::uint32_t seed);

// A dark teal surface of halftone dots that grow towards the lower right.
QImage dottedTeal(int width, int height);

} // namespace artwork

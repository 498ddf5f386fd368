#pragma once

#include <QImage>

// The title strip's two buttons, pixel exact: light grey frame, white symbol, magenta (the
// transparent colour) everywhere else. Positions are in picture units; at a higher scale every
// line keeps its width in picture units and the diagonals stay smooth.
namespace artwork {

// 27 x 20, a 9 x 2 bar at columns 10-18, rows 10-11. The bottom-left outer corner is cut
// diagonally by three magenta pixels: (0, 19), (1, 19) and (0, 18).
QImage minimiseGlyph(int scale);

// 40 x 20, a 9 x 9 cross (both diagonals) at columns 15-23, rows 5-13. The bottom-right outer
// corner is cut by two magenta pixels: (38, 19) and (39, 19).
QImage closeGlyph(int scale);

} // namespace artwork

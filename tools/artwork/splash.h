#pragma once

#include <QImage>

// The start-up picture: mark, name and version, a striped progress bar with its reflection and
// a wait message on a dark ground.
namespace artwork {

// The whole 770 x 330 picture with the bar's stripes shifted by phase (0 or 1, half a stripe
// apart). The two phases differ only inside the splash patch rectangle.
QImage splashFrame(int phase, int scale);

} // namespace artwork

#pragma once

#include <QDir>
#include <QImage>
#include <vector>

namespace artwork {

// A sheet for looking at the artwork as decoded from the written files: the windows put
// together from their pictures, then every picture on its own, small ones enlarged. Cut into
// pages that fit on a screen. At scale 2 it shows the @2x pictures on a sheet twice as dense.
std::vector<QImage> contactSheet(const QDir& pictures, int scale);

} // namespace artwork

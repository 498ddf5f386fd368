#pragma once

#include <QImage>
#include <vector>

// The two window and tray icons, drawn afresh at every size rather than scaled.
namespace artwork {

// The sizes an icon file holds, largest first.
inline const std::vector<int> iconSizes{72, 64, 48, 32, 24, 16};

// A light blue rounded square with the blue swirl, size x size picture units at the given scale.
QImage programIcon(int size, int scale);

// A red-orange rounded square with a white, flame-shaped arrow pointing down.
QImage updateIcon(int size, int scale);

} // namespace artwork

#pragma once

#include <QImage>
#include <vector>

// The 16 x 16 pictures beside the tray menus' items, drawn at the given scale.
namespace artwork {

// The 13 item pictures, in list order: 0 blue bird mark (second microblog), 1 product swirl,
// 2 round play button, 3 round music-note badge, 4 red-and-yellow eye mark (first microblog),
// 5 round brown button with a cross, 6 orange diamond with a turning arrow, 7 blue browser "e",
// 8 speech bubble, 9 grey ring with an orange dot, 10 pink square with the swirl, 11 purple
// browser "e", 12 orange globe.
std::vector<QImage> menuIcons(int scale);

// An image list stored as one 64 x 64 picture: 4 x 4 cells of 16 x 16, filled row by row from
// the top left; alpha stands for the mask and unused cells are fully transparent. It comes at the
// images' scale.
QImage imageListSheet(const std::vector<QImage>& images);

} // namespace artwork

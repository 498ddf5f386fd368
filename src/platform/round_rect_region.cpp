#include "platform/platform.h"

#include <algorithm>
#include <vector>

namespace sorvo::platform {

namespace {

// How many pixels of each row of a corner lie outside the quarter ellipse. A pixel is kept when
// its centre lies inside the ellipse that fills the corner box.
std::vector<int> cornerCuts(int ellipseWidth, int ellipseHeight) {
    const double a = ellipseWidth / 2.0;
    const double b = ellipseHeight / 2.0;
    std::vector<int> cuts;
    for (int y = 0; y < ellipseHeight / 2 + 1; ++y) {
        const double dy = (y + 0.5 - b) / b;
        int cut = 0;
        while (cut < ellipseWidth / 2 + 1) {
            const double dx = (cut + 0.5 - a) / a;
            if (dx * dx + dy * dy <= 1.0) break;
            ++cut;
        }
        if (cut == 0) break;
        cuts.push_back(cut);
    }
    return cuts;
}

} // namespace

QRegion roundRectRegion(int width, int height, int ellipseWidth, int ellipseHeight) {
    if (width <= 0 || height <= 0) return {};
    ellipseWidth = std::min(ellipseWidth, width);
    ellipseHeight = std::min(ellipseHeight, height);
    if (ellipseWidth < 2 || ellipseHeight < 2) return QRegion(0, 0, width, height);
    // A rounded region leaves out the rectangle's last column and row, unlike a plain one.
    width -= 1;
    height -= 1;

    const std::vector<int> cuts = cornerCuts(ellipseWidth, ellipseHeight);
    const int rows = static_cast<int>(cuts.size());
    QRegion region(0, rows, width, std::max(0, height - 2 * rows));
    for (int y = 0; y < rows && y < height; ++y) {
        const int cut = cuts[static_cast<std::size_t>(y)];
        const QRect row(cut, 0, std::max(0, width - 2 * cut), 1);
        region += row.translated(0, y);
        region += row.translated(0, height - 1 - y);
    }
    return region;
}

} // namespace sorvo::platform

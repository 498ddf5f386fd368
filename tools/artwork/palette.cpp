#include "palette.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <unordered_map>

namespace artwork {
namespace {

struct ColourCount {
    QRgb colour;
    std::uint32_t count;
};

int channel(QRgb colour, int axis) {
    return axis == 0 ? qRed(colour) : axis == 1 ? qGreen(colour) : qBlue(colour);
}

// A box of the colour cube: a range of the colour list, split at its weighted median along its
// widest channel until there are enough boxes.
struct Box {
    std::size_t begin;
    std::size_t end;
    int widestAxis = 0;
    int widestRange = 0;
};

void measure(Box& box, const std::vector<ColourCount>& colours) {
    std::array<int, 3> low{255, 255, 255};
    std::array<int, 3> high{0, 0, 0};
    for (std::size_t i = box.begin; i < box.end; ++i) {
        for (int axis = 0; axis < 3; ++axis) {
            const int value = channel(colours[i].colour, axis);
            low[static_cast<std::size_t>(axis)] =
                std::min(low[static_cast<std::size_t>(axis)], value);
            high[static_cast<std::size_t>(axis)] =
                std::max(high[static_cast<std::size_t>(axis)], value);
        }
    }
    box.widestRange = -1;
    for (int axis = 0; axis < 3; ++axis) {
        // Green weighs most for the eye, blue least.
        static constexpr std::array<int, 3> weight{3, 4, 2};
        const auto a = static_cast<std::size_t>(axis);
        const int range = (high[a] - low[a]) * weight[a];
        if (range > box.widestRange) {
            box.widestRange = range;
            box.widestAxis = axis;
        }
    }
}

QRgb average(const Box& box, const std::vector<ColourCount>& colours) {
    std::array<std::uint64_t, 3> sum{0, 0, 0};
    std::uint64_t total = 0;
    for (std::size_t i = box.begin; i < box.end; ++i) {
        for (int axis = 0; axis < 3; ++axis)
            sum[static_cast<std::size_t>(axis)] +=
                static_cast<std::uint64_t>(channel(colours[i].colour, axis)) * colours[i].count;
        total += colours[i].count;
    }
    auto mean = [&](std::size_t axis) { return static_cast<int>((sum[axis] + total / 2) / total); };
    return qRgb(mean(0), mean(1), mean(2));
}

} // namespace

IndexedImage IndexedImage::cropped(const QRect& rect) const {
    IndexedImage out;
    out.width = rect.width();
    out.height = rect.height();
    out.indices.reserve(static_cast<std::size_t>(out.width * out.height));
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        for (int x = rect.left(); x <= rect.right(); ++x)
            out.indices.push_back(at(x, y));
    return out;
}

Palette buildPalette(const std::vector<QImage>& sources, int maxColours) {
    std::unordered_map<QRgb, std::uint32_t> histogram;
    for (const QImage& source : sources) {
        const QImage rgb = source.convertToFormat(QImage::Format_RGB32);
        for (int y = 0; y < rgb.height(); ++y) {
            const auto* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
            for (int x = 0; x < rgb.width(); ++x)
                ++histogram[line[x] | 0xff000000u];
        }
    }
    std::vector<ColourCount> colours;
    colours.reserve(histogram.size());
    for (const auto& [colour, count] : histogram)
        colours.push_back({colour, count});
    std::sort(colours.begin(), colours.end(),
              [](const ColourCount& a, const ColourCount& b) { return a.colour < b.colour; });

    std::vector<Box> boxes{{0, colours.size()}};
    measure(boxes.front(), colours);
    while (static_cast<int>(boxes.size()) < maxColours) {
        // Split the box whose widest channel spans most, weighted by how many pixels it holds.
        auto score = [&](const Box& box) {
            std::uint64_t pixels = 0;
            for (std::size_t i = box.begin; i < box.end; ++i)
                pixels += colours[i].count;
            return static_cast<double>(box.widestRange) * static_cast<double>(box.widestRange) *
                   std::sqrt(static_cast<double>(pixels));
        };
        std::size_t chosen = boxes.size();
        double best = 0;
        for (std::size_t i = 0; i < boxes.size(); ++i) {
            if (boxes[i].end - boxes[i].begin < 2) continue;
            const double s = score(boxes[i]);
            if (s > best) {
                best = s;
                chosen = i;
            }
        }
        if (chosen == boxes.size()) break;
        Box& box = boxes[chosen];
        const int axis = box.widestAxis;
        auto first = colours.begin() + static_cast<std::ptrdiff_t>(box.begin);
        auto last = colours.begin() + static_cast<std::ptrdiff_t>(box.end);
        std::sort(first, last, [axis](const ColourCount& a, const ColourCount& b) {
            const int ca = channel(a.colour, axis);
            const int cb = channel(b.colour, axis);
            return ca != cb ? ca < cb : a.colour < b.colour;
        });
        std::uint64_t total = 0;
        for (auto it = first; it != last; ++it)
            total += it->count;
        std::uint64_t running = 0;
        std::size_t split = box.begin + 1;
        for (std::size_t i = box.begin; i + 1 < box.end; ++i) {
            running += colours[i].count;
            split = i + 1;
            if (running * 2 >= total) break;
        }
        Box upper{split, box.end};
        box.end = split;
        measure(box, colours);
        measure(upper, colours);
        boxes.push_back(upper);
    }

    Palette palette;
    for (const Box& box : boxes)
        palette.colours.push_back(average(box, colours));
    return palette;
}

IndexedImage mapToPalette(const QImage& image, const Palette& palette) {
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    IndexedImage out;
    out.width = rgb.width();
    out.height = rgb.height();
    out.indices.resize(static_cast<std::size_t>(out.width * out.height));
    std::unordered_map<QRgb, std::uint8_t> nearest;
    for (int y = 0; y < rgb.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        for (int x = 0; x < rgb.width(); ++x) {
            const QRgb colour = line[x] | 0xff000000u;
            auto found = nearest.find(colour);
            if (found == nearest.end()) {
                int bestDistance = 1 << 30;
                std::uint8_t best = 0;
                for (std::size_t i = 0; i < palette.colours.size(); ++i) {
                    const QRgb p = palette.colours[i];
                    const int dr = qRed(p) - qRed(colour);
                    const int dg = qGreen(p) - qGreen(colour);
                    const int db = qBlue(p) - qBlue(colour);
                    const int distance = 3 * dr * dr + 4 * dg * dg + 2 * db * db;
                    if (distance < bestDistance) {
                        bestDistance = distance;
                        best = static_cast<std::uint8_t>(i);
                    }
                }
                found = nearest.emplace(colour, best).first;
            }
            out.indices[static_cast<std::size_t>(y * out.width + x)] = found->second;
        }
    }
    return out;
}

} // namespace artwork

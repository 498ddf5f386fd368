#include "gif_writer.h"

#include "byte_sink.h"

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

namespace {

// Variable-width LZW as GIF wants it: codes packed least significant bit first, then cut into
// data sub-blocks of at most 255 bytes.
class LzwEncoder {
  public:
    explicit LzwEncoder(int minCodeSize)
        : minCodeSize_(minCodeSize), clearCode_(1 << minCodeSize), children_(4096 * 256, 0) {}

    QByteArray encode(const std::vector<std::uint8_t>& pixels) {
        reset();
        write(clearCode_);
        int current = -1;
        for (const std::uint8_t pixel : pixels) {
            if (current < 0) {
                current = pixel;
                continue;
            }
            const std::size_t slot = static_cast<std::size_t>(current) * 256 + pixel;
            if (children_[slot] != 0) {
                current = children_[slot];
                continue;
            }
            write(current);
            children_[slot] = static_cast<std::uint16_t>(++lastCode_);
            if (lastCode_ >= (1 << codeSize_)) ++codeSize_;
            if (lastCode_ == 4095) {
                write(clearCode_);
                reset();
            }
            current = pixel;
        }
        if (current >= 0) write(current);
        write(clearCode_ + 1);
        if (bitCount_ > 0) packed_.append(static_cast<char>(bitBuffer_ & 0xff));
        return packed_;
    }

  private:
    void reset() {
        std::fill(children_.begin(), children_.end(), std::uint16_t{0});
        codeSize_ = minCodeSize_ + 1;
        lastCode_ = clearCode_ + 1;
    }
    void write(int code) {
        bitBuffer_ |= static_cast<std::uint32_t>(code) << bitCount_;
        bitCount_ += codeSize_;
        while (bitCount_ >= 8) {
            packed_.append(static_cast<char>(bitBuffer_ & 0xff));
            bitBuffer_ >>= 8;
            bitCount_ -= 8;
        }
    }

    int minCodeSize_;
    int clearCode_;
    int codeSize_ = 0;
    int lastCode_ = 0;
    std::vector<std::uint16_t> children_;
    std::uint32_t bitBuffer_ = 0;
    int bitCount_ = 0;
    QByteArray packed_;
};

void writeSubBlocks(ByteSink& out, const QByteArray& data) {
    for (qsizetype at = 0; at < data.size(); at += 255) {
        const qsizetype length = std::min<qsizetype>(255, data.size() - at);
        out.u8(static_cast<int>(length));
        out.raw(data.mid(at, length));
    }
    out.u8(0);
}

} // namespace

QByteArray encodeGif(QSize screen, const Palette& palette, const std::vector<GifFrame>& frames,
                     std::optional<int> loopCount) {
    ByteSink out;
    out.raw("GIF89a");
    out.u16(screen.width());
    out.u16(screen.height());
    out.u8(0x80 | 0x70 | 0x07); // global table, 8-bit colour resolution, 256 entries
    out.u8(0);                  // background colour index
    out.u8(0);                  // square pixels
    for (int i = 0; i < 256; ++i) {
        const QRgb colour = i < static_cast<int>(palette.colours.size())
                                ? palette.colours[static_cast<std::size_t>(i)]
                                : qRgb(0, 0, 0);
        out.u8(qRed(colour));
        out.u8(qGreen(colour));
        out.u8(qBlue(colour));
    }
    if (loopCount) {
        out.u8(0x21);
        out.u8(0xff);
        out.u8(11);
        out.raw("NETSCAPE2.0");
        out.u8(3);
        out.u8(1);
        out.u16(*loopCount);
        out.u8(0);
    }
    for (const GifFrame& frame : frames) {
        if (frame.delayMs > 0 || frame.transparentIndex ||
            frame.disposal != Disposal::Unspecified) {
            out.u8(0x21);
            out.u8(0xf9);
            out.u8(4);
            out.u8((static_cast<int>(frame.disposal) << 2) | (frame.transparentIndex ? 1 : 0));
            out.u16((frame.delayMs + 5) / 10); // hundredths of a second
            out.u8(frame.transparentIndex.value_or(0));
            out.u8(0);
        }
        out.u8(0x2c);
        out.u16(frame.position.x());
        out.u16(frame.position.y());
        out.u16(frame.image.width);
        out.u16(frame.image.height);
        out.u8(0); // no local table, not interlaced
        out.u8(8); // LZW minimum code size
        writeSubBlocks(out, LzwEncoder(8).encode(frame.image.indices));
    }
    out.u8(0x3b);
    return out.bytes();
}

QByteArray encodeGif(const IndexedImage& image, const Palette& palette) {
    GifFrame frame;
    frame.image = image;
    return encodeGif(QSize(image.width, image.height), palette, {frame});
}

QByteArray encodeGif(const QImage& image) {
    const Palette palette = buildPalette({image}, 256);
    return encodeGif(mapToPalette(image, palette), palette);
}

} // namespace artwork

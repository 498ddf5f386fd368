#pragma once

#include <QByteArray>
#include <QImage>
#include <QRect>
#include <QRgb>
#include <cstdint>
#include <optional>
#include <vector>

namespace artwork {

// A colour table of up to 256 entries; unused slots are black.
struct Palette {
    std::vector<QRgb> colours;
};

// An image as indices into a palette.
struct IndexedImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> indices;

    std::uint8_t at(int x, int y) const { return indices[static_cast<std::size_t>(y * width + x)]; }
    IndexedImage cropped(const QRect& rect) const;
};

// Median-cut palette of at most maxColours entries for the opaque pixels of all sources.
// Deterministic: the same pixels always give the same palette.
Palette buildPalette(const std::vector<QImage>& sources, int maxColours);

// Each pixel mapped to its nearest palette colour (no dithering).
IndexedImage mapToPalette(const QImage& image, const Palette& palette);

enum class Disposal { Unspecified = 0, DoNotDispose = 1 };

struct GifFrame {
    IndexedImage image;
    QPoint position;
    int delayMs = 0;
    std::optional<std::uint8_t> transparentIndex;
    Disposal disposal = Disposal::Unspecified;
};

// A GIF89a file with one global colour table of 256 entries. A frame gets a graphic control
// extension when it has a delay, a transparent index or a disposal; loopCount, when given,
// adds the NETSCAPE2.0 application extension (0 loops for ever).
QByteArray encodeGif(QSize screen, const Palette& palette, const std::vector<GifFrame>& frames,
                     std::optional<int> loopCount = std::nullopt);

// One opaque frame in the given palette.
QByteArray encodeGif(const IndexedImage& image, const Palette& palette);

// The common case: one opaque frame, quantised to its own palette.
QByteArray encodeGif(const QImage& image);

} // namespace artwork

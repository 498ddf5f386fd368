#pragma once

#include "palette.h"

#include <QByteArray>
#include <QImage>
#include <QPoint>
#include <QSize>
#include <cstdint>
#include <optional>
#include <vector>

namespace artwork {

enum class Disposal { Unspecified = 0, DoNotDispose = 1 };

struct GifFrame {
    IndexedImage image;
    QPoint position;
    int delayMs = 0;
    std::optional<std::uint8_t> transparentIndex;
    Disposal disposal = Disposal::Unspecified;
};

// A GIF89a file, written by giflib, with one global colour table of 256 entries. A frame gets a
// graphic control extension when it has a delay, a transparent index or a disposal; loopCount,
// when given, adds the NETSCAPE2.0 application extension (0 loops for ever).
QByteArray encodeGif(QSize screen, const Palette& palette, const std::vector<GifFrame>& frames,
                     std::optional<int> loopCount = std::nullopt);

// One opaque frame in the given palette.
QByteArray encodeGif(const IndexedImage& image, const Palette& palette);

// The common case: one opaque frame, quantised to its own palette.
QByteArray encodeGif(const QImage& image);

} // namespace artwork

#pragma once

#include <QByteArray>
#include <QImage>

namespace artwork {

// Through Qt's own writers.

// Baseline JPEG (JFIF header, sequential, not optimised) at the given quality.
QByteArray encodeJpeg(const QImage& image, int quality = 92);

// An uncompressed 24-bit Windows bitmap, rows bottom-up, at 72 dpi.
QByteArray encodeBmp24(const QImage& image);

// PNG with its alpha channel.
QByteArray encodePng(const QImage& image);

} // namespace artwork

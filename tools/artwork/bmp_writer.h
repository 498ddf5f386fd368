#pragma once

#include <QByteArray>
#include <QImage>

namespace artwork {

// An uncompressed 24-bit Windows bitmap: bottom-up rows, each padded to a multiple of 4 bytes.
QByteArray encodeBmp24(const QImage& image);

} // namespace artwork

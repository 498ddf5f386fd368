#pragma once

#include <QByteArray>
#include <QImage>

namespace artwork {

// Baseline JPEG (JFIF header, sequential, not optimised) at the given quality.
QByteArray encodeJpeg(const QImage& image, int quality = 92);

// PNG with its alpha channel.
QByteArray encodePng(const QImage& image);

} // namespace artwork

#pragma once

#include <QByteArray>
#include <QImage>
#include <QPoint>
#include <vector>

namespace artwork {

// A Windows icon file: one 32-bit entry (colour with alpha plus the 1-bit AND mask) per image,
// in the order given.
QByteArray encodeIco(const std::vector<QImage>& images);

// A Windows cursor file with one image: 24-bit colour and a 1-bit mask. Pixels whose alpha is
// below one half are transparent. The hot spot is stored in the directory entry.
QByteArray encodeCur(const QImage& image, QPoint hotSpot);

} // namespace artwork

#pragma once

#include <QImage>
#include <QRect>
#include <QRgb>
#include <cstdint>
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
// Deterministic: the same pixels always give the same palette. Not giflib's GifQuantizeBuffer:
// that one cuts each channel to 5 bits first and sees a single image, where one palette here
// must serve several (the splash's frames, the backdrop and the pictures cut from it).
Palette buildPalette(const std::vector<QImage>& sources, int maxColours);

// Each pixel mapped to its nearest palette colour (no dithering).
IndexedImage mapToPalette(const QImage& image, const Palette& palette);

} // namespace artwork

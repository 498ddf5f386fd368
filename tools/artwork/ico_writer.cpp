#include "ico_writer.h"

#include "byte_sink.h"

namespace artwork {
namespace {

constexpr int directoryHeaderSize = 6;
constexpr int directoryEntrySize = 16;
constexpr int infoHeaderSize = 40;

int maskRowBytes(int width) {
    return ((width + 31) / 32) * 4;
}

// The DIB of one icon or cursor image: BITMAPINFOHEADER (height doubled for the mask), the
// colour rows and the AND mask rows, both bottom-up. A set mask bit means transparent.
QByteArray encodeDib(const QImage& image, int bitsPerPixel, int alphaThreshold) {
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    const int width = argb.width();
    const int height = argb.height();
    const int colourRowBytes = (width * bitsPerPixel / 8 + 3) & ~3;
    const int maskBytes = maskRowBytes(width);

    ByteSink out;
    out.u32(infoHeaderSize);
    out.u32(static_cast<std::uint32_t>(width));
    out.u32(static_cast<std::uint32_t>(height * 2));
    out.u16(1);
    out.u16(bitsPerPixel);
    out.u32(0);
    out.u32(static_cast<std::uint32_t>((colourRowBytes + maskBytes) * height));
    out.u32(0);
    out.u32(0);
    out.u32(0);
    out.u32(0);

    for (int y = height - 1; y >= 0; --y) {
        const auto* line = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        for (int x = 0; x < width; ++x) {
            const QRgb pixel = line[x];
            const bool opaque = qAlpha(pixel) >= alphaThreshold;
            if (bitsPerPixel == 32) {
                out.u8(qBlue(pixel));
                out.u8(qGreen(pixel));
                out.u8(qRed(pixel));
                out.u8(qAlpha(pixel));
            } else {
                out.u8(opaque ? qBlue(pixel) : 0);
                out.u8(opaque ? qGreen(pixel) : 0);
                out.u8(opaque ? qRed(pixel) : 0);
            }
        }
        for (int pad = width * bitsPerPixel / 8; pad < colourRowBytes; ++pad)
            out.u8(0);
    }
    for (int y = height - 1; y >= 0; --y) {
        const auto* line = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        for (int byte = 0; byte < maskBytes; ++byte) {
            int bits = 0;
            for (int bit = 0; bit < 8; ++bit) {
                const int x = byte * 8 + bit;
                const bool transparent = x >= width || qAlpha(line[x]) < alphaThreshold;
                if (transparent) bits |= 0x80 >> bit;
            }
            out.u8(bits);
        }
    }
    return out.bytes();
}

// Writes the file: header, directory entries, then the DIBs. For icons the two 16-bit fields of
// an entry are planes and bit count; for cursors they hold the hot spot.
QByteArray encodeDirectory(int type, const std::vector<QByteArray>& dibs,
                           const std::vector<QImage>& images, QPoint hotSpot, int bitsPerPixel) {
    ByteSink out;
    out.u16(0);
    out.u16(type);
    out.u16(static_cast<int>(dibs.size()));
    auto offset = static_cast<std::uint32_t>(directoryHeaderSize +
                                             directoryEntrySize * static_cast<int>(dibs.size()));
    for (std::size_t i = 0; i < dibs.size(); ++i) {
        out.u8(images[i].width() >= 256 ? 0 : images[i].width());
        out.u8(images[i].height() >= 256 ? 0 : images[i].height());
        out.u8(0); // no palette
        out.u8(0);
        if (type == 2) {
            out.u16(hotSpot.x());
            out.u16(hotSpot.y());
        } else {
            out.u16(1);
            out.u16(bitsPerPixel);
        }
        out.u32(static_cast<std::uint32_t>(dibs[i].size()));
        out.u32(offset);
        offset += static_cast<std::uint32_t>(dibs[i].size());
    }
    for (const QByteArray& dib : dibs)
        out.raw(dib);
    return out.bytes();
}

} // namespace

QByteArray encodeIco(const std::vector<QImage>& images) {
    std::vector<QByteArray> dibs;
    for (const QImage& image : images)
        dibs.push_back(encodeDib(image, 32, 1));
    return encodeDirectory(1, dibs, images, {}, 32);
}

QByteArray encodeCur(const QImage& image, QPoint hotSpot) {
    return encodeDirectory(2, {encodeDib(image, 24, 128)}, {image}, hotSpot, 24);
}

} // namespace artwork

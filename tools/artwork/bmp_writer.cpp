#include "bmp_writer.h"

#include "byte_sink.h"

namespace artwork {

QByteArray encodeBmp24(const QImage& image) {
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    const int width = rgb.width();
    const int height = rgb.height();
    const int rowBytes = (width * 3 + 3) & ~3;
    const auto pixelBytes = static_cast<std::uint32_t>(rowBytes * height);
    constexpr std::uint32_t headersSize = 14 + 40;

    ByteSink out;
    out.raw("BM");
    out.u32(headersSize + pixelBytes);
    out.u32(0); // reserved
    out.u32(headersSize);

    out.u32(40); // BITMAPINFOHEADER
    out.u32(static_cast<std::uint32_t>(width));
    out.u32(static_cast<std::uint32_t>(height)); // positive: bottom-up
    out.u16(1);                                  // planes
    out.u16(24);                                 // bits per pixel
    out.u32(0);                                  // BI_RGB, uncompressed
    out.u32(pixelBytes);
    out.u32(2835); // 72 dpi
    out.u32(2835);
    out.u32(0); // colours used
    out.u32(0); // important colours

    for (int y = height - 1; y >= 0; --y) {
        const auto* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        for (int x = 0; x < width; ++x) {
            out.u8(qBlue(line[x]));
            out.u8(qGreen(line[x]));
            out.u8(qRed(line[x]));
        }
        for (int pad = width * 3; pad < rowBytes; ++pad)
            out.u8(0);
    }
    return out.bytes();
}

} // namespace artwork

#include "image_writer.h"

#include <QBuffer>
#include <QImageWriter>
#include <stdexcept>

namespace artwork {
namespace {

QByteArray write(const QImage& image, const char* format, int quality) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    if (quality >= 0) writer.setQuality(quality);
    writer.setProgressiveScanWrite(false);
    writer.setOptimizedWrite(false);
    if (!writer.write(image))
        throw std::runtime_error("cannot write " + std::string(format) + ": " +
                                 writer.errorString().toStdString());
    return bytes;
}

} // namespace

QByteArray encodeJpeg(const QImage& image, int quality) {
    return write(image.convertToFormat(QImage::Format_RGB32), "jpeg", quality);
}

QByteArray encodeBmp24(const QImage& image) {
    QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    constexpr int dotsPerMeterAt72Dpi = 2835;
    rgb.setDotsPerMeterX(dotsPerMeterAt72Dpi);
    rgb.setDotsPerMeterY(dotsPerMeterAt72Dpi);
    return write(rgb, "bmp", -1);
}

QByteArray encodePng(const QImage& image) {
    return write(image.convertToFormat(QImage::Format_ARGB32), "png", -1);
}

} // namespace artwork

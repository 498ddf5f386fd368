#include "ui/framework/picture_loader.h"

#include "resources/pictures.h"
#include "resources/window_design.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QImageReader>

namespace sorvo::ui {

namespace {
std::uint16_t readLittleEndian16(const QByteArray& bytes, int at) {
    return static_cast<std::uint16_t>(static_cast<std::uint8_t>(bytes[at]) |
                                      (static_cast<std::uint8_t>(bytes[at + 1]) << 8));
}
std::uint32_t readLittleEndian32(const QByteArray& bytes, int at) {
    return static_cast<std::uint32_t>(readLittleEndian16(bytes, at)) |
           (static_cast<std::uint32_t>(readLittleEndian16(bytes, at + 2)) << 16);
}

// Qt's reader takes a 24-bit cursor image as opaque and never looks at its 1-bit mask, which
// follows the colour rows: a set bit there makes the pixel transparent.
QImage withCursorMask(const QImage& colour, const QByteArray& curFile) {
    if (curFile.size() < 22) return colour;
    const int imageAt = static_cast<int>(readLittleEndian32(curFile, 18));
    if (imageAt + 40 > curFile.size() || readLittleEndian16(curFile, imageAt + 14) != 24)
        return colour;
    const int width = colour.width();
    const int height = colour.height();
    const int colourStride = (width * 3 + 3) / 4 * 4;
    const int maskStride = (width + 31) / 32 * 4;
    const int maskAt = imageAt + 40 + colourStride * height;
    if (maskAt + maskStride * height > curFile.size()) return colour;

    QImage masked = colour.convertToFormat(QImage::Format_ARGB32);
    for (int row = 0; row < height; ++row) {
        // Rows are stored bottom-up.
        const int y = height - 1 - row;
        for (int x = 0; x < width; ++x) {
            const auto bits = static_cast<std::uint8_t>(curFile[maskAt + row * maskStride + x / 8]);
            if (bits & (0x80 >> (x % 8))) masked.setPixel(x, y, qRgba(0, 0, 0, 0));
        }
    }
    return masked;
}

} // namespace

QImage loadImage(const QString& pictureName) {
    return QImage(pictures::path(pictureName));
}

int pictureDensity(qreal devicePixelRatio) {
    return devicePixelRatio > 1 ? 2 : 1;
}

QString pictureForRatio(const QString& pictureName, qreal devicePixelRatio) {
    return pictureDensity(devicePixelRatio) == 2 ? pictureName + QStringLiteral("@2x")
                                                 : pictureName;
}

QImage loadImage(const QString& pictureName, qreal devicePixelRatio) {
    QImage image(pictures::path(pictureForRatio(pictureName, devicePixelRatio)));
    image.setDevicePixelRatio(pictureDensity(devicePixelRatio));
    return image;
}

QPixmap loadPixmap(const QString& pictureName, qreal devicePixelRatio) {
    return QPixmap::fromImage(loadImage(pictureName, devicePixelRatio));
}

QIcon loadIcon(const QString& pictureName) {
    QIcon icon;
    // The dense set only where a screen can show it: on ordinary screens it would be decoded and
    // kept for nothing.
    const int densest = pictureDensity(qGuiApp->devicePixelRatio());
    for (int ratio = 1; ratio <= densest; ++ratio) {
        QImageReader reader(pictures::path(pictureForRatio(pictureName, ratio)));
        for (int i = 0; i < reader.imageCount(); ++i) {
            reader.jumpToImage(i);
            QImage image = reader.read();
            image.setDevicePixelRatio(ratio);
            icon.addPixmap(QPixmap::fromImage(image));
        }
    }
    return icon;
}

QPoint cursorHotSpot(const QByteArray& curFile) {
    // ICONDIR (reserved, type 2 = cursor, count) then the first entry, whose planes and bit
    // count fields hold the hot spot in a cursor.
    if (curFile.size() < 22 || readLittleEndian16(curFile, 2) != 2) return {0, 0};
    return {readLittleEndian16(curFile, 10), readLittleEndian16(curFile, 12)};
}

QCursor loadCursor(const QString& name) {
    return loadCursor(name, qGuiApp->devicePixelRatio());
}

QCursor loadCursor(const QString& name, qreal devicePixelRatio) {
    if (name.isEmpty()) return QCursor(Qt::ArrowCursor);
    if (name == design::handCursor) return QCursor(Qt::PointingHandCursor);
    const int ratio = pictureDensity(devicePixelRatio);
    const QByteArray bytes = pictures::bytes(pictureForRatio(name, ratio));
    QBuffer buffer;
    buffer.setData(bytes);
    QImageReader reader(&buffer, "cur");
    QPixmap pixmap = QPixmap::fromImage(withCursorMask(reader.read(), bytes));
    pixmap.setDevicePixelRatio(ratio);
    // The twin's file stores its hot spot in its own pixels; QCursor takes it in the cursor's
    // device-independent ones.
    const QPoint hotSpot = cursorHotSpot(bytes) / ratio;
    return QCursor(pixmap, hotSpot.x(), hotSpot.y());
}

QImage imageListEntry(const QImage& list, int index) {
    const int cell = 16 * static_cast<int>(list.devicePixelRatio());
    return list.copy((index % 4) * cell, (index / 4) * cell, cell, cell);
}

} // namespace sorvo::ui

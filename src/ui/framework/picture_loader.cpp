#include "ui/framework/picture_loader.h"

#include "resources/pictures.h"
#include "resources/window_design.h"

#include <QBuffer>
#include <QImageReader>
#include <QPixmap>

namespace sorvo::ui {

namespace {
std::uint16_t readLittleEndian16(const QByteArray& bytes, int at) {
    return static_cast<std::uint16_t>(static_cast<std::uint8_t>(bytes[at]) |
                                      (static_cast<std::uint8_t>(bytes[at + 1]) << 8));
}
} // namespace

QImage loadImage(const QString& pictureName) {
    return QImage(pictures::path(pictureName));
}

QIcon loadIcon(const QString& pictureName) {
    QIcon icon;
    QImageReader reader(pictures::path(pictureName));
    for (int i = 0; i < reader.imageCount(); ++i) {
        reader.jumpToImage(i);
        icon.addPixmap(QPixmap::fromImage(reader.read()));
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
    if (name.isEmpty()) return QCursor(Qt::ArrowCursor);
    if (name == design::handCursor) return QCursor(Qt::PointingHandCursor);
    const QByteArray bytes = pictures::bytes(name);
    QBuffer buffer;
    buffer.setData(bytes);
    QImageReader reader(&buffer, "cur");
    const QPoint hotSpot = cursorHotSpot(bytes);
    return QCursor(QPixmap::fromImage(reader.read()), hotSpot.x(), hotSpot.y());
}

QImage imageListEntry(const QImage& list, int index) {
    constexpr int cell = 16;
    return list.copy((index % 4) * cell, (index / 4) * cell, cell, cell);
}

} // namespace sorvo::ui

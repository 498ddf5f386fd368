#include "resources/icon_file.h"

#include <QDataStream>
#include <QIODevice>

namespace sorvo::icon_file {
namespace {

constexpr int directoryHeaderSize = 6;
constexpr int directoryEntrySize = 16;
constexpr quint32 infoHeaderSize = 40;

int colourRowBytes(int width, int bitCount) {
    return (width * bitCount + 31) / 32 * 4;
}

int maskRowBytes(int width) {
    return colourRowBytes(width, 1);
}

// Where the entry's mask rows start: after the header and the colour rows (and the palette of
// the few-colour depths, which these files never use).
qsizetype maskOffset(const Entry& entry) {
    return entry.offset + infoHeaderSize +
           static_cast<qsizetype>(colourRowBytes(entry.size.width(), entry.dibBitCount)) *
               entry.size.height();
}

QByteArray encodeDib(const QImage& image, int bitCount, int alphaThreshold) {
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    const int width = argb.width();
    const int height = argb.height();
    const int colourBytes = colourRowBytes(width, bitCount);
    const int maskBytes = maskRowBytes(width);

    QByteArray dib;
    QDataStream out(&dib, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    out << infoHeaderSize << qint32(width) << qint32(height * 2) << quint16(1) << quint16(bitCount)
        << quint32(0) << quint32((colourBytes + maskBytes) * height) << qint32(0) << qint32(0)
        << quint32(0) << quint32(0);
    for (int y = height - 1; y >= 0; --y) {
        const auto* line = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        for (int x = 0; x < width; ++x) {
            const QRgb pixel = line[x];
            if (bitCount == 32) {
                out << quint8(qBlue(pixel)) << quint8(qGreen(pixel)) << quint8(qRed(pixel))
                    << quint8(qAlpha(pixel));
            } else {
                // Without alpha, what the mask hides is written black.
                const QRgb shown = qAlpha(pixel) >= alphaThreshold ? pixel : 0;
                out << quint8(qBlue(shown)) << quint8(qGreen(shown)) << quint8(qRed(shown));
            }
        }
        for (int pad = width * bitCount / 8; pad < colourBytes; ++pad)
            out << quint8(0);
    }
    for (int y = height - 1; y >= 0; --y) {
        const auto* line = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        for (int byte = 0; byte < maskBytes; ++byte) {
            int bits = 0;
            for (int bit = 0; bit < 8; ++bit) {
                const int x = byte * 8 + bit;
                if (x >= width || qAlpha(line[x]) < alphaThreshold) bits |= 0x80 >> bit;
            }
            out << quint8(bits);
        }
    }
    return dib;
}

QByteArray encodeDirectory(Type type, const std::vector<QImage>& images, QPoint hotSpot,
                           int bitCount, int alphaThreshold) {
    std::vector<QByteArray> dibs;
    for (const QImage& image : images)
        dibs.push_back(encodeDib(image, bitCount, alphaThreshold));

    QByteArray file;
    QDataStream out(&file, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    out << quint16(0) << quint16(type) << quint16(dibs.size());
    auto offset = static_cast<quint32>(directoryHeaderSize + directoryEntrySize * dibs.size());
    for (std::size_t i = 0; i < dibs.size(); ++i) {
        // 0 stands for 256; no palette.
        out << quint8(images[i].width()) << quint8(images[i].height()) << quint8(0) << quint8(0);
        if (type == Type::Cursor)
            out << quint16(hotSpot.x()) << quint16(hotSpot.y());
        else
            out << quint16(1) << quint16(bitCount);
        out << quint32(dibs[i].size()) << offset;
        offset += static_cast<quint32>(dibs[i].size());
    }
    for (const QByteArray& dib : dibs)
        out.writeRawData(dib.constData(), static_cast<int>(dib.size()));
    return file;
}

std::optional<Directory> broken(QString* error, const char* why) {
    if (error) *error = QString::fromLatin1(why);
    return std::nullopt;
}

} // namespace

std::optional<Directory> readDirectory(const QByteArray& file, QString* error) {
    QDataStream in(file);
    in.setByteOrder(QDataStream::LittleEndian);
    quint16 reserved = 0;
    quint16 type = 0;
    quint16 count = 0;
    in >> reserved >> type >> count;
    if (in.status() != QDataStream::Ok) return broken(error, "directory cut short");
    if (reserved != 0) return broken(error, "reserved field not zero");
    if (type != quint16(Type::Icon) && type != quint16(Type::Cursor))
        return broken(error, "neither an icon nor a cursor");

    Directory directory;
    directory.type = static_cast<Type>(type);
    for (int i = 0; i < count; ++i) {
        quint8 width = 0;
        quint8 height = 0;
        quint8 colours = 0;
        quint8 unused = 0;
        quint16 first = 0;
        quint16 second = 0;
        Entry entry;
        in >> width >> height >> colours >> unused >> first >> second >> entry.byteCount >>
            entry.offset;
        entry.size = QSize(width ? width : 256, height ? height : 256);
        if (directory.type == Type::Cursor) {
            entry.hotSpot = QPoint(first, second);
        } else {
            entry.planes = first;
            entry.bitCount = second;
        }
        directory.entries.push_back(entry);
    }
    if (in.status() != QDataStream::Ok) return broken(error, "directory cut short");

    for (Entry& entry : directory.entries) {
        if (entry.offset + quint64(entry.byteCount) > quint64(file.size()) ||
            entry.byteCount < infoHeaderSize)
            return broken(error, "entry outside the file");
        QDataStream dib(file.mid(entry.offset, infoHeaderSize));
        dib.setByteOrder(QDataStream::LittleEndian);
        quint32 headerSize = 0;
        qint32 width = 0;
        qint32 height = 0;
        quint16 planes = 0;
        quint16 bitCount = 0;
        dib >> headerSize >> width >> height >> planes >> bitCount;
        if (headerSize != infoHeaderSize) return broken(error, "entry without a BITMAPINFOHEADER");
        entry.dibWidth = width;
        entry.dibHeight = height;
        entry.dibBitCount = bitCount;
        const qsizetype maskEnd =
            maskOffset(entry) + qsizetype(maskRowBytes(entry.size.width())) * entry.size.height();
        if (maskEnd > qsizetype(entry.offset + entry.byteCount))
            return broken(error, "entry shorter than its rows");
    }
    return directory;
}

bool maskIsSet(const QByteArray& file, const Entry& entry, QPoint pixel) {
    const qsizetype row = entry.size.height() - 1 - pixel.y();
    const qsizetype byte =
        maskOffset(entry) + row * maskRowBytes(entry.size.width()) + pixel.x() / 8;
    return (static_cast<quint8>(file.at(byte)) >> (7 - pixel.x() % 8)) & 1;
}

QImage withMask(const QImage& colour, const QByteArray& file, const Entry& entry) {
    if (colour.size() != entry.size) return colour;
    QImage masked = colour.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < masked.height(); ++y)
        for (int x = 0; x < masked.width(); ++x)
            if (maskIsSet(file, entry, {x, y})) masked.setPixel(x, y, qRgba(0, 0, 0, 0));
    return masked;
}

QByteArray writeIcon(const std::vector<QImage>& images) {
    return encodeDirectory(Type::Icon, images, {}, 32, 1);
}

QByteArray writeCursor(const QImage& image, QPoint hotSpot) {
    return encodeDirectory(Type::Cursor, {image}, hotSpot, 24, 128);
}

} // namespace sorvo::icon_file

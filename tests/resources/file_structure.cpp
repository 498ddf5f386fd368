#include "file_structure.h"

namespace file_structure {
namespace {

class Reader {
  public:
    explicit Reader(const QByteArray& bytes) : bytes_(bytes) {}
    bool has(qsizetype count) const { return at_ + count <= bytes_.size(); }
    int u8() { return has(1) ? static_cast<unsigned char>(bytes_[at_++]) : (failed_ = true, 0); }
    int u16() {
        const int low = u8();
        return low | u8() << 8;
    }
    quint32 u32() {
        const quint32 low = static_cast<quint32>(u16());
        return low | static_cast<quint32>(u16()) << 16;
    }
    QByteArray take(qsizetype count) {
        if (!has(count)) {
            failed_ = true;
            return {};
        }
        const QByteArray out = bytes_.mid(at_, count);
        at_ += count;
        return out;
    }
    void skip(qsizetype count) { take(count); }
    // Data sub-blocks up to and including the zero-length terminator.
    QByteArray subBlocks() {
        QByteArray data;
        for (int length = u8(); length > 0 && !failed_; length = u8())
            data += take(length);
        return data;
    }
    void seek(qsizetype at) { at_ = at; }
    bool failed() const { return failed_; }

  private:
    const QByteArray& bytes_;
    qsizetype at_ = 0;
    bool failed_ = false;
};

} // namespace

std::optional<Gif> readGif(const QByteArray& bytes, QString* error) {
    Reader in(bytes);
    Gif gif;
    gif.version = QString::fromLatin1(in.take(6));
    if (gif.version != QLatin1String("GIF87a") && gif.version != QLatin1String("GIF89a")) {
        *error = QStringLiteral("not a GIF header");
        return std::nullopt;
    }
    const int width = in.u16();
    gif.screen = QSize(width, in.u16());
    const int packed = in.u8();
    in.skip(2); // background index, aspect ratio
    if (packed & 0x80) {
        gif.globalColourTableSize = 2 << (packed & 7);
        in.skip(3 * gif.globalColourTableSize);
    }
    GifFrame pending;
    while (!in.failed()) {
        const int introducer = in.u8();
        if (introducer == 0x3b) return gif;
        if (introducer == 0x21) {
            const int label = in.u8();
            const QByteArray data = in.subBlocks();
            if (label == 0xf9 && data.size() == 4) {
                const int flags = static_cast<unsigned char>(data[0]);
                pending.disposal = (flags >> 2) & 7;
                pending.delayHundredths =
                    static_cast<unsigned char>(data[1]) | static_cast<unsigned char>(data[2]) << 8;
                if (flags & 1) pending.transparentIndex = static_cast<unsigned char>(data[3]);
            } else if (label == 0xff && data.startsWith("NETSCAPE2.0") && data.size() >= 14 &&
                       data[11] == 1) {
                gif.loopCount = static_cast<unsigned char>(data[12]) |
                                static_cast<unsigned char>(data[13]) << 8;
            }
        } else if (introducer == 0x2c) {
            const int left = in.u16();
            const int top = in.u16();
            const int frameWidth = in.u16();
            const int frameHeight = in.u16();
            const int framePacked = in.u8();
            pending.area = QRect(left, top, frameWidth, frameHeight);
            pending.localColourTable = framePacked & 0x80;
            if (pending.localColourTable) in.skip(3 * (2 << (framePacked & 7)));
            in.u8(); // LZW minimum code size
            in.subBlocks();
            gif.frames.push_back(pending);
            pending = GifFrame{};
        } else {
            *error = QStringLiteral("unknown block 0x%1").arg(introducer, 2, 16, QLatin1Char('0'));
            return std::nullopt;
        }
    }
    *error = QStringLiteral("file ends before the trailer");
    return std::nullopt;
}

std::vector<int> jpegMarkers(const QByteArray& bytes) {
    std::vector<int> markers;
    Reader in(bytes);
    if (in.u8() != 0xff || in.u8() != 0xd8) return markers;
    while (!in.failed()) {
        if (in.u8() != 0xff) break;
        const int marker = in.u8();
        markers.push_back(marker);
        if (marker == 0xda) break; // start of scan: entropy-coded data follows
        const int length = in.u8() << 8 | in.u8();
        in.skip(length - 2);
    }
    return markers;
}

std::optional<BmpHeader> readBmpHeader(const QByteArray& bytes) {
    Reader in(bytes);
    if (in.take(2) != "BM") return std::nullopt;
    BmpHeader header;
    header.fileSize = in.u32();
    in.skip(8); // reserved, pixel offset
    if (in.u32() != 40) return std::nullopt;
    header.width = static_cast<int>(in.u32());
    header.height = static_cast<int>(in.u32());
    in.u16(); // planes
    header.bitCount = in.u16();
    header.compression = static_cast<int>(in.u32());
    if (in.failed()) return std::nullopt;
    return header;
}

} // namespace file_structure

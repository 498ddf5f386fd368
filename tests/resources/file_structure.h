#pragma once

#include <QByteArray>
#include <QRect>
#include <QSize>
#include <QString>
#include <optional>
#include <vector>

// Small readers of the block structure of the picture files: what a decoder hides (GIF frame
// records and loop count, JPEG markers, the BMP header). Icon and cursor directories are read
// with the client's own resources/icon_file.
namespace file_structure {

struct GifFrame {
    QRect area;
    int delayHundredths = 0;
    int disposal = 0;
    std::optional<int> transparentIndex;
    bool localColourTable = false;
};

struct Gif {
    QString version; // "GIF87a" or "GIF89a"
    QSize screen;
    int globalColourTableSize = 0; // 0 without a global table
    std::optional<int> loopCount;  // from the NETSCAPE2.0 extension
    std::vector<GifFrame> frames;
};

// Walks the blocks of a GIF file; nullopt with error set when the structure is broken.
std::optional<Gif> readGif(const QByteArray& bytes, QString* error);

// The JPEG markers up to the start of the scan, for example 0xE0 (APP0) and 0xC0 (SOF0).
std::vector<int> jpegMarkers(const QByteArray& bytes);

struct BmpHeader {
    quint32 fileSize = 0;
    int width = 0;
    int height = 0;
    int bitCount = 0;
    int compression = -1;
};

std::optional<BmpHeader> readBmpHeader(const QByteArray& bytes);

} // namespace file_structure

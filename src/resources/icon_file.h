#pragma once

#include <QByteArray>
#include <QImage>
#include <QPoint>
#include <QSize>
#include <QString>
#include <optional>
#include <vector>

// Windows icon (ICO) and cursor (CUR) files: a directory of entries, each a DIB made of a
// BITMAPINFOHEADER whose height counts the colour rows and the 1-bit AND mask rows, then those
// rows, bottom-up. A set mask bit is a transparent pixel. In a cursor's entry the fields that
// hold an icon's planes and bit count hold the hot spot.
//
// Qt reads both formats but reports no hot spot, takes a 24-bit image as opaque without
// looking at its mask, and writes no cursors; the artwork tool, the client and the tests share
// this one description of the layout instead.
namespace sorvo::icon_file {

enum class Type { Icon = 1, Cursor = 2 };

struct Entry {
    QSize size;
    int planes = 0;   // icons only
    int bitCount = 0; // icons only
    QPoint hotSpot;   // cursors only
    quint32 byteCount = 0;
    quint32 offset = 0;
    // From the entry's BITMAPINFOHEADER.
    int dibWidth = 0;
    int dibHeight = 0; // colour plus mask rows
    int dibBitCount = 0;
};

struct Directory {
    Type type = Type::Icon;
    std::vector<Entry> entries;
};

// The directory and each entry's DIB header; nullopt, with *error set when given, for a file
// whose structure is broken.
std::optional<Directory> readDirectory(const QByteArray& file, QString* error = nullptr);

// Whether the entry's AND mask marks the pixel transparent.
bool maskIsSet(const QByteArray& file, const Entry& entry, QPoint pixel);

// The entry's image as a decoder gave it, with the pixels its mask marks made transparent.
QImage withMask(const QImage& colour, const QByteArray& file, const Entry& entry);

// An icon file: one 32-bit entry (colour with alpha, and the mask) per image, in the order given.
QByteArray writeIcon(const std::vector<QImage>& images);

// A cursor file with one 24-bit entry and its mask. Pixels whose alpha is below one half are
// transparent.
QByteArray writeCursor(const QImage& image, QPoint hotSpot);

} // namespace sorvo::icon_file

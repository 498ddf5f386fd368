#pragma once

#include <QCursor>
#include <QIcon>
#include <QImage>
#include <QPoint>
#include <QString>

class QByteArray;

// Turns catalogue pictures into the Qt objects the windows show.
namespace sorvo::ui {

QImage loadImage(const QString& pictureName);

// Every image of an ICO, so each place picks the size it draws.
QIcon loadIcon(const QString& pictureName);

// A catalogue cursor with the hot spot its file stores, or the system hand cursor for
// design::handCursor; the default arrow for an empty name.
QCursor loadCursor(const QString& name);

// The hot spot stored in a CUR file's first directory entry; (0, 0) for anything else.
QPoint cursorHotSpot(const QByteArray& curFile);

// Image `index` of an image list: 16 × 16 cells, four to a row, filled from the top left.
QImage imageListEntry(const QImage& list, int index);

} // namespace sorvo::ui

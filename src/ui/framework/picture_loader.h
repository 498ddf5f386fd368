#pragma once

#include <QCursor>
#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QString>

// Turns catalogue pictures into the Qt objects the windows show.
//
// Every picture has a twin drawn at twice the density ("Name@2x"). Where a screen's device pixel
// ratio is above 1 the twin is shown, with device pixel ratio 2, so Qt draws it at the picture's
// own size: pixel for pixel at 2, scaled down at 1.5, never the 1x picture scaled up. At 1 the
// 1x picture is shown exactly as it is.
namespace sorvo::ui {

// The 1x picture, pixel for pixel: for code that works on its pixels.
QImage loadImage(const QString& pictureName);

// The density of the pictures drawn for a device pixel ratio: 1 or 2.
int pictureDensity(qreal devicePixelRatio);

// The picture to draw on a device of the given pixel ratio (a widget's devicePixelRatioF()).
QImage loadImage(const QString& pictureName, qreal devicePixelRatio);
QPixmap loadPixmap(const QString& pictureName, qreal devicePixelRatio);

// The catalogue name of that picture, for APIs that take a file (animations).
QString pictureForRatio(const QString& pictureName, qreal devicePixelRatio);

// Every image of an ICO and of its twin, so each place picks the size and density it draws.
QIcon loadIcon(const QString& pictureName);

// A catalogue cursor with the hot spot its file stores, drawn for the given device pixel ratio
// (the application's when not given), or the system hand cursor for design::handCursor; the
// default arrow for an empty name.
QCursor loadCursor(const QString& name);
QCursor loadCursor(const QString& name, qreal devicePixelRatio);

// Image `index` of an image list: 16 × 16 cells, four to a row, filled from the top left; the
// cells of a list at device pixel ratio 2 are 32 × 32 pixels.
QImage imageListEntry(const QImage& list, int index);

} // namespace sorvo::ui

#pragma once

#include <QByteArray>
#include <QString>
#include <vector>

namespace artwork {

// One file of the picture catalogue: its file name (catalogue name plus extension) and bytes.
struct PictureFile {
    QString fileName;
    QByteArray bytes;
};

// Draws and encodes every picture of the catalogue at the given scale: 1 for the pictures
// themselves, 2 for their @2x twins ("CloseGlyph@2x.bmp"), twice as wide and high.
std::vector<PictureFile> drawCatalogue(int scale);

} // namespace artwork

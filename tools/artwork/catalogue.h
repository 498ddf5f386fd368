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

// Draws and encodes every picture of the catalogue.
std::vector<PictureFile> drawCatalogue();

} // namespace artwork

#pragma once

#include <QImage>

// The window backgrounds and the main window's strip and band.
namespace artwork {

QImage quitConfirmBackdrop();
QImage aboutBackdrop();

// The version window's background. Its buttons' pictures are drawn over the bare ground; the
// stored backdrop also shows their normal faces under them.
QImage versionBackdrop(bool withButtonFaces);

// The update window's carbon-fibre background, in full colour before it is quantised.
QImage updateBackdrop();

QImage bandImage();
QImage stripTile();

} // namespace artwork

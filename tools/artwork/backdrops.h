#pragma once

#include <QImage>

// The window backgrounds and the main window's strip and band, drawn at the given scale.
namespace artwork {

QImage quitConfirmBackdrop(int scale);
QImage aboutBackdrop(int scale);

// The version window's background. Its buttons' pictures are drawn over the bare ground; the
// stored backdrop also shows their normal faces under them.
QImage versionBackdrop(bool withButtonFaces, int scale);

// The update window's carbon-fibre background, in full colour before it is quantised.
QImage updateBackdrop(int scale);

QImage bandImage(int scale);
QImage stripTile(int scale);

} // namespace artwork

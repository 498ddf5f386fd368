#pragma once

#include <QString>

namespace sorvo {

// The id of the program's installed desktop entry (its file name without ".desktop"), by which
// the desktop finds the program's name and icon.
QString desktopEntryId();

} // namespace sorvo

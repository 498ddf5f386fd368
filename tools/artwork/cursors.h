#pragma once

#include <QImage>

// The skin's mouse cursors: 32 x 32 picture units, hard-edged (the files keep a 1-bit mask), tip
// at (0, 0).
namespace artwork {

enum class CursorBadge { None, CrossedArrows, Cross };

// An orange arrow with a grey rim, slanted up and to the left, optionally with a badge at its
// lower right, drawn at the given scale.
QImage skinCursor(CursorBadge badge, int scale);

} // namespace artwork

#pragma once

namespace sorvo::ui {

class SkinWindow;

// Clips a window to a rounded rectangle of its current size with 11 × 11 corners, replacing the
// shape it had.
void applyRoundedRegion(SkinWindow& window);

} // namespace sorvo::ui

#pragma once

#include <QRect>

// Where the windows put their buttons and labels over the backdrops. The artwork depends on it:
// button pictures are drawn over the backdrop beneath them, the version backdrop shows the
// faces of its buttons, and the label backgrounds are cut out at the labels' rectangles.
namespace artwork::layout {

inline constexpr QSize dialogSize{325, 245};
inline constexpr QSize versionSize{520, 320};
inline constexpr QSize updateBackdropSize{520, 320};
inline constexpr QSize updateWindowSize{376, 277};
inline constexpr QSize splashSize{770, 330};

inline constexpr QRect quitOkButton{71, 198, 72, 31};
inline constexpr QRect quitCancelButton{177, 198, 72, 31};
inline constexpr int quitNormalPictureHeight = 32; // one row taller than the button
inline constexpr QRect aboutCloseButton{271, 0, 54, 54};
inline constexpr QRect checkUpdateButton{126, 215, 100, 55};
inline constexpr QRect cancelCheckButton{285, 215, 100, 55};
inline constexpr QRect updateStartButton{126, 190, 108, 38};
inline constexpr QRect updateCancelButton{257, 190, 76, 38};

inline constexpr QRect progressLabel{17, 128, 96, 20};
inline constexpr QRect sizeLabel{197, 128, 144, 20};
inline constexpr QRect timeLabel{15, 152, 96, 20};
inline constexpr QRect speedLabel{234, 152, 112, 20};

// The update window's browser, progress bar and speed list, which lie over its backdrop.
inline constexpr QRect updateBrowser{13, 16, 350, 80};
inline constexpr QRect updateProgressBar{13, 100, 350, 16};
inline constexpr QRect updateSpeedList{25, 198, 76, 20};

// The part of the splash that its second frame repaints.
inline constexpr QRect splashPatch{160, 220, 464, 59};

} // namespace artwork::layout

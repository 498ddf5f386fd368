#include "ui/title_strip.h"

#include "platform/platform.h"
#include "ui/dialogs.h"
#include "ui/framework/canvas.h"
#include "ui/framework/picture_loader.h"
#include "ui/framework/skin_window.h"

#include <algorithm>

namespace sorvo::ui {

namespace {

constexpr Colour glyphTransparent = rgb(255, 0, 255);

struct StripRect {
    int left, top, width, height;
};

// Where the glyphs lie; clearing one restores that button's composed look.
constexpr StripRect minimiseRect{890, 0, 27, 20};
constexpr StripRect closeRect{915, 0, 40, 20};

// The inside of each glyph's frame: columns left + 1 .. left + columns, rows 1..18.
struct Block {
    int left, columns;
};
constexpr Block minimiseBlock{890, 25};
constexpr Block closeBlock{915, 38};
constexpr int blockRows = 18;

// The zones share column 916; rows 20 and 21 under the buttons lie outside both.
bool inMinimiseZone(int x, int y) {
    return x > 890 && x < 917 && y < 20;
}
bool inCloseZone(int x, int y) {
    return x > 915 && x < 955 && y < 20;
}

int red(Colour c) {
    return static_cast<int>(c & 0xff);
}
int green(Colour c) {
    return static_cast<int>((c >> 8) & 0xff);
}
int blue(Colour c) {
    return static_cast<int>((c >> 16) & 0xff);
}
int raise(int v, int by) {
    return std::min(v + by, 255);
}
int lower(int v, int by) {
    return std::max(v - by, 0);
}

Colour brighten(Colour c) {
    return rgb(raise(red(c), 50), raise(green(c), 50), raise(blue(c), 50));
}
Colour redTint(Colour c) {
    return rgb(raise(red(c), 75), green(c), blue(c));
}
Colour darken(Colour c) {
    return rgb(lower(red(c), 50), lower(green(c), 50), lower(blue(c), 50));
}
Colour blueTint(Colour c) {
    return rgb(red(c), green(c), raise(blue(c), 125));
}

// Recolours what is on the surface now, so effects compound until the block is cleared.
void recolourBlock(Canvas& canvas, Block block, Colour (*effect)(Colour)) {
    for (int i = 1; i <= block.columns; ++i) {
        const int x = block.left + i;
        for (int y = 1; y <= blockRows; ++y)
            canvas.setPixel(x, y, effect(canvas.pixel(x, y)));
    }
}

void clear(Canvas& canvas, StripRect r) {
    canvas.clearRect(r.left, r.top, r.width, r.height);
}

void drawGlyph(Canvas& canvas, const QString& pictureName, StripRect where) {
    canvas.drawPicture(loadImage(pictureName), where.left, where.top, glyphTransparent);
}

} // namespace

void composeTitleStrip(Canvas& canvas) {
    drawGlyph(canvas, QStringLiteral("MinimiseGlyph"), minimiseRect);
    // Drawn second, so its frame lies over the minimise glyph in the shared columns.
    drawGlyph(canvas, QStringLiteral("CloseGlyph"), closeRect);
    canvas.setBackground(QImage::fromData(canvas.snapshot()));
}

TitleStrip::TitleStrip(Canvas& canvas, SkinWindow& mainWindow)
    : canvas_(canvas), mainWindow_(mainWindow) {
    canvas_.onPointerMove = [this](int x, int y, int) { onStripPointerMove(x, y); };
    canvas_.onButtonDown = [this](int x, int y, int) { onStripButtonDown(x, y); };
    canvas_.onButtonUp = [this](int x, int y, int) { onStripButtonUp(x, y); };
}

void TitleStrip::onStripPointerMove(int x, int y) {
    if (inMinimiseZone(x, y)) {
        if (minimiseHovered_) return;
        recolourBlock(canvas_, minimiseBlock, brighten);
        clear(canvas_, closeRect);
        minimiseHovered_ = true;
    } else if (inCloseZone(x, y)) {
        if (closeHovered_) return;
        recolourBlock(canvas_, closeBlock, redTint);
        closeHovered_ = true;
    } else {
        clear(canvas_, minimiseRect);
        clear(canvas_, closeRect);
        resetFlags();
    }
}

void TitleStrip::onStripButtonDown(int x, int y) {
    if (inMinimiseZone(x, y)) {
        if (minimisePressed_) return;
        recolourBlock(canvas_, minimiseBlock, darken);
        clear(canvas_, closeRect);
        minimisePressed_ = true;
    } else if (inCloseZone(x, y)) {
        if (closePressed_) return;
        recolourBlock(canvas_, closeBlock, blueTint);
        clear(canvas_, minimiseRect);
        closePressed_ = true;
    } else {
        clear(canvas_, minimiseRect);
        clear(canvas_, closeRect);
        minimisePressed_ = false;
        closePressed_ = false;
        platform::startCaptionDrag(mainWindow_);
    }
}

void TitleStrip::onStripButtonUp(int x, int y) {
    // Only the lower half of the minimise rectangle and the two rows under it.
    clear(canvas_, {890, 10, 27, 20});
    resetFlags();
    // Independent tests: a release in column 916 minimises and then asks to quit.
    if (inMinimiseZone(x, y)) {
        mainWindow_.setWindowStateValue(SkinWindow::Minimised);
        onStripPointerMove(535, 1);
    }
    if (inCloseZone(x, y)) {
        openQuitConfirmWindow(mainWindow_);
        onStripPointerMove(915, 1);
    }
}

void TitleStrip::resetFlags() {
    minimiseHovered_ = false;
    closeHovered_ = false;
    minimisePressed_ = false;
    closePressed_ = false;
}

} // namespace sorvo::ui

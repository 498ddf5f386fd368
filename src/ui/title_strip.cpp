#include "ui/title_strip.h"

#include "platform/platform.h"
#include "ui/dialogs.h"
#include "ui/framework/canvas.h"
#include "ui/framework/picture_loader.h"
#include "ui/framework/skin_window.h"

#include <QPoint>
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

// What a release repaints whatever else it does: the lower half of the minimise rectangle and
// the two rows under it, from row 10 down.
constexpr StripRect releaseRepaint{890, 10, 27, 20};

// Where a release pretends the pointer went afterwards: away from both buttons after a minimise,
// so the strip is plain when the window comes back; onto the minimise button after the quit
// question, as if the pointer had come to rest there.
constexpr QPoint awayFromTheButtons(535, 1);
constexpr QPoint ontoMinimise(915, 1);

// How far each effect moves a channel.
constexpr int hoverLift = 50;
constexpr int pressDrop = 50;
constexpr int closeHoverRed = 75;
constexpr int closePressBlue = 125;

// The zones lie inside the rectangles but for their first column, with no lower bound on y:
// they share column 916, and rows 20 and 21 under the buttons lie outside both.
bool inZone(StripRect r, int x, int y) {
    return x > r.left && x < r.left + r.width && y < r.top + r.height;
}
bool inMinimiseZone(int x, int y) {
    return inZone(minimiseRect, x, y);
}
bool inCloseZone(int x, int y) {
    return inZone(closeRect, x, y);
}

int raise(int v, int by) {
    return std::min(v + by, 255);
}
int lower(int v, int by) {
    return std::max(v - by, 0);
}

Colour brighten(Colour c) {
    return rgb(raise(red(c), hoverLift), raise(green(c), hoverLift), raise(blue(c), hoverLift));
}
Colour redTint(Colour c) {
    return rgb(raise(red(c), closeHoverRed), green(c), blue(c));
}
Colour darken(Colour c) {
    return rgb(lower(red(c), pressDrop), lower(green(c), pressDrop), lower(blue(c), pressDrop));
}
Colour blueTint(Colour c) {
    return rgb(red(c), green(c), raise(blue(c), closePressBlue));
}

// Recolours what is on the surface now, so effects compound until the block is cleared. On a
// denser surface every one of its pixels in the block is recoloured.
void recolourBlock(Canvas& canvas, Block block, Colour (*effect)(Colour)) {
    const int d = canvas.density();
    for (int x = (block.left + 1) * d; x < (block.left + block.columns + 1) * d; ++x)
        for (int y = d; y < (blockRows + 1) * d; ++y)
            canvas.setPixel(x, y, effect(canvas.pixel(x, y)));
}

void clear(Canvas& canvas, StripRect r) {
    canvas.clearRect(r.left, r.top, r.width, r.height);
}

void drawGlyph(Canvas& canvas, const QString& pictureName, StripRect where) {
    canvas.drawPicture(loadImage(pictureName, canvas.density()), where.left, where.top,
                       glyphTransparent);
}

} // namespace

void composeTitleStrip(Canvas& canvas) {
    drawGlyph(canvas, QStringLiteral("MinimiseGlyph"), minimiseRect);
    // Drawn second, so its frame lies over the minimise glyph in the shared columns.
    drawGlyph(canvas, QStringLiteral("CloseGlyph"), closeRect);
    canvas.setBackground(canvas.surface().copy());
}

TitleStrip::TitleStrip(Canvas& canvas, SkinWindow& mainWindow)
    : QObject(&canvas), canvas_(canvas), mainWindow_(mainWindow) {
    connect(&canvas, &Canvas::pointerMoved, this, &TitleStrip::onStripPointerMove);
    connect(&canvas, &Canvas::buttonPressed, this, &TitleStrip::onStripButtonDown);
    connect(&canvas, &Canvas::buttonReleased, this, &TitleStrip::onStripButtonUp);
    // For screen readers: the glyphs as buttons, pressed by a click at their middle.
    const auto where = [](StripRect r) { return QRect(r.left, r.top, r.width, r.height); };
    canvas_.setPressZones({{QStringLiteral("最小化"), where(minimiseRect)},
                           {QStringLiteral("关闭"), where(closeRect)}});
    // The canvas has put the plain strip of the new density back by now.
    connect(&canvas, &Canvas::densityChanged, this, [this] {
        composeTitleStrip(canvas_);
        resetFlags();
    });
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
    clear(canvas_, releaseRepaint);
    resetFlags();
    // Independent tests: a release in column 916 minimises and then asks to quit.
    if (inMinimiseZone(x, y)) {
        mainWindow_.minimise();
        onStripPointerMove(awayFromTheButtons.x(), awayFromTheButtons.y());
    }
    if (inCloseZone(x, y)) {
        SkinWindow* question = openQuitConfirmWindow(mainWindow_);
        connect(question, &SkinWindow::closed, this,
                [this] { onStripPointerMove(ontoMinimise.x(), ontoMinimise.y()); });
    }
}

void TitleStrip::resetFlags() {
    minimiseHovered_ = false;
    closeHovered_ = false;
    minimisePressed_ = false;
    closePressed_ = false;
}

} // namespace sorvo::ui

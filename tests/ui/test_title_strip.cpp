#include "resources/window_design.h"
#include "support/gui_test_main.h"
#include "ui/framework/canvas.h"
#include "ui/framework/skin_window.h"
#include "ui/title_strip.h"

#include <QAbstractButton>
#include <QCursor>
#include <QMouseEvent>
#include <QProcess>
#include <algorithm>
#include <functional>
#include <memory>

using namespace sorvo;
using ui::Colour;

namespace {

Colour shifted(Colour c, int dr, int dg, int db) {
    const auto clip = [](int v) { return std::clamp(v, 0, 255); };
    return ui::rgb(clip(ui::red(c) + dr), clip(ui::green(c) + dg), clip(ui::blue(c) + db));
}

using Look = std::function<Colour(Colour)>;
const Look plain = [](Colour c) { return c; };
const Look brightened = [](Colour c) { return shifted(c, 50, 50, 50); };
const Look redTinted = [](Colour c) { return shifted(c, 75, 0, 0); };
const Look darkened = [](Colour c) { return shifted(c, -50, -50, -50); };
const Look blueTinted = [](Colour c) { return shifted(c, 0, 0, 125); };
Look then(Look first, Look second) {
    return [=](Colour c) { return second(first(c)); };
}

const QRect wholeStrip(0, 0, 960, 22);
const QRect minimiseRect(890, 0, 27, 20);
const QRect closeRect(915, 0, 40, 20);
// The minimise block without its last column: clearing the close rectangle, which a minimise
// hover does, repaints column 915.
const QRect minimiseBlockShown(891, 1, 24, 18);
const QRect closeBlock(916, 1, 38, 18);
// The close block without column 916, which clearing the minimise rectangle repaints, as a
// press on close does.
const QRect closeBlockPressed(917, 1, 37, 18);
const QRect sharedColumn(916, 0, 1, 22);

Colour fromImage(const QImage& image, int x, int y) {
    return ui::fromQRgb(image.pixel(x, y));
}

ui::SkinWindow* openQuitDialog() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == QLatin1String("QuitConfirmWindow") && w->isVisible())
            return qobject_cast<ui::SkinWindow*>(w);
    return nullptr;
}

} // namespace

class TitleStripTest : public QObject {
    Q_OBJECT

  private slots:
    void init();
    void cleanup();

    void composedStripShowsBothGlyphsOverTheTile();
    void hoverBrightensMinimiseOnceAndLeavingRestoresBoth();
    void hoverMovesBetweenTheButtons();
    void pressCompoundsOnTheHover();
    void releaseOnMinimiseMinimisesAndLeavesStripPlain();
    void releaseOnCloseAsksToQuitAndThenHighlightsMinimise();
    void releaseInSharedColumnMinimisesThenAsks();
    void releaseAwayFromButtonsOnlyRepaintsTheLowerHalf();
    void pressAwayFromButtonsClearsPressesButKeepsHovers();
    void dragOnTheStripMovesTheWindow();

  private:
    void send(QEvent::Type type, int x, int y);
    void move(int x, int y) { send(QEvent::MouseMove, x, y); }
    void press(int x, int y) { send(QEvent::MouseButtonPress, x, y); }
    void release(int x, int y) { send(QEvent::MouseButtonRelease, x, y); }

    // Where `shown` differs from the composed strip changed by `look`, or empty.
    QString mismatch(const QImage& shown, const QRect& area, const Look& look) const;
    void flagsAre(bool minimiseHovered, bool closeHovered, bool minimisePressed, bool closePressed);
    void dismissQuitDialog(const std::function<void()>& whileOpen);

    std::unique_ptr<ui::SkinWindow> window_;
    ui::Canvas* canvas_ = nullptr;
    ui::TitleStrip* strip_ = nullptr;
    QImage tile_;
    QImage composed_;
    bool dialogSeen_ = false;
    bool cancelFound_ = false;
};

void TitleStripTest::init() {
    // Keep the real pointer off the strip, so only the events sent here reach it.
    QCursor::setPos(1599, 999);
    window_ = std::make_unique<ui::SkinWindow>(design::mainWindow());
    canvas_ = window_->control<ui::Canvas>(QStringLiteral("画板"));
    QVERIFY(canvas_);
    window_->showModeless();
    QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
    tile_ = canvas_->surface().copy();
    ui::composeTitleStrip(*canvas_);
    composed_ = canvas_->surface().copy();
    strip_ = new ui::TitleStrip(*canvas_, *window_);
    dialogSeen_ = false;
    cancelFound_ = false;
}

void TitleStripTest::cleanup() {
    window_.reset();
    strip_ = nullptr;
    canvas_ = nullptr;
}

void TitleStripTest::send(QEvent::Type type, int x, int y) {
    const QPointF local(x, y);
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    const Qt::MouseButtons held = type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton;
    QMouseEvent event(type, local, canvas_->mapToGlobal(local), button, held, Qt::NoModifier);
    QApplication::sendEvent(canvas_, &event);
}

QString TitleStripTest::mismatch(const QImage& shown, const QRect& area, const Look& look) const {
    for (int x = area.left(); x <= area.right(); ++x)
        for (int y = area.top(); y <= area.bottom(); ++y) {
            const Colour want = look(fromImage(composed_, x, y));
            const Colour got = fromImage(shown, x, y);
            if (got != want)
                return QStringLiteral("(%1, %2) is %3, expected %4")
                    .arg(x)
                    .arg(y)
                    .arg(got, 6, 16, QLatin1Char('0'))
                    .arg(want, 6, 16, QLatin1Char('0'));
        }
    return {};
}

void TitleStripTest::flagsAre(bool minimiseHovered, bool closeHovered, bool minimisePressed,
                              bool closePressed) {
    QCOMPARE(strip_->minimiseHovered(), minimiseHovered);
    QCOMPARE(strip_->closeHovered(), closeHovered);
    QCOMPARE(strip_->minimisePressed(), minimisePressed);
    QCOMPARE(strip_->closePressed(), closePressed);
}

#define EXPECT_LOOK_IN(shown, area, look)                                                          \
    do {                                                                                           \
        const QString lookDiff = mismatch(shown, area, look);                                      \
        QVERIFY2(lookDiff.isEmpty(), qPrintable(lookDiff));                                        \
    } while (false)
#define EXPECT_LOOK(area, look) EXPECT_LOOK_IN(canvas_->surface(), area, look)

// Runs `whileOpen` once the quit dialog is up, then cancels it, so the modal call returns. A
// dialog that never comes leaves the wait to fail; one that is never cancelled cannot hang the
// test, since the steps close it when they give up.
// The quit dialog stands as soon as the release has asked; it is cancelled here.
void TitleStripTest::dismissQuitDialog(const std::function<void()>& whileOpen) {
    ui::SkinWindow* dialog = openQuitDialog();
    dialogSeen_ = dialog != nullptr;
    if (!dialog) return;
    whileOpen();
    auto* cancel = dialog->findChild<QAbstractButton*>(QStringLiteral("图形按钮1"));
    cancelFound_ = cancel != nullptr;
    if (cancel)
        QTest::mouseClick(cancel, Qt::LeftButton);
    else
        dialog->close();
    QTRY_VERIFY(!openQuitDialog());
}

void TitleStripTest::composedStripShowsBothGlyphsOverTheTile() {
    const Colour grey = ui::rgb(192, 192, 192);
    const Colour white = ui::rgb(255, 255, 255);
    for (int y = 0; y < 20; ++y) {
        // Column 915 is the close frame; 916 the minimise frame through the close glyph.
        QCOMPARE(canvas_->pixel(915, y), grey);
        QCOMPARE(canvas_->pixel(916, y), grey);
    }
    QCOMPARE(canvas_->pixel(890, 5), grey);
    QCOMPARE(canvas_->pixel(900, 10), white);
    QCOMPARE(canvas_->pixel(908, 11), white);
    QCOMPARE(canvas_->pixel(934, 9), white);

    // Magenta never reaches the strip: the tile shows through inside the frames and all
    // around the glyphs.
    for (const QPoint p : {QPoint(895, 5), QPoint(940, 3), QPoint(920, 16), QPoint(900, 20),
                           QPoint(950, 21), QPoint(400, 10), QPoint(889, 0), QPoint(955, 0)})
        QCOMPARE(canvas_->surface().pixel(p), tile_.pixel(p));
    for (int x = 0; x < 960; ++x)
        for (int y = 0; y < 22; ++y)
            QVERIFY(canvas_->pixel(x, y) != ui::rgb(255, 0, 255));

    // The composed strip is the background now: clearing brings the buttons back.
    canvas_->setPixel(900, 10, 0);
    canvas_->clearRect(0, 0, 960, 22);
    QCOMPARE(canvas_->surface(), composed_);
}

void TitleStripTest::hoverBrightensMinimiseOnceAndLeavingRestoresBoth() {
    move(900, 5);
    EXPECT_LOOK(minimiseBlockShown, brightened);
    EXPECT_LOOK(QRect(890, 0, 1, 20), plain);
    EXPECT_LOOK(closeRect, plain);
    QCOMPARE(canvas_->pixel(900, 10), ui::rgb(255, 255, 255));
    flagsAre(true, false, false, false);

    // Further moves inside the zone paint nothing more.
    move(905, 8);
    move(891, 19);
    EXPECT_LOOK(minimiseBlockShown, brightened);

    // Rows 20 and 21 under the buttons are off them.
    move(900, 20);
    EXPECT_LOOK(wholeStrip, plain);
    flagsAre(false, false, false, false);

    move(900, 5);
    move(300, 10);
    EXPECT_LOOK(wholeStrip, plain);
}

void TitleStripTest::hoverMovesBetweenTheButtons() {
    // Minimise, then close: both highlighted; back to minimise changes nothing.
    move(900, 5);
    move(930, 5);
    EXPECT_LOOK(minimiseBlockShown, brightened);
    EXPECT_LOOK(closeBlock, redTinted);
    flagsAre(true, true, false, false);
    move(905, 5);
    EXPECT_LOOK(minimiseBlockShown, brightened);
    EXPECT_LOOK(closeBlock, redTinted);
    move(600, 1);
    EXPECT_LOOK(wholeStrip, plain);

    // Close, then minimise: close restored, but its flag stays, so no red on returning.
    move(940, 10);
    EXPECT_LOOK(closeBlock, redTinted);
    move(900, 5);
    EXPECT_LOOK(minimiseBlockShown, brightened);
    EXPECT_LOOK(closeRect, plain);
    flagsAre(true, true, false, false);
    move(940, 10);
    EXPECT_LOOK(closeRect, plain);
    EXPECT_LOOK(minimiseBlockShown, brightened);

    // Column 916 belongs to both zones; the minimise test comes first.
    move(600, 1);
    move(916, 5);
    EXPECT_LOOK(minimiseBlockShown, brightened);
    EXPECT_LOOK(closeRect, plain);
    flagsAre(true, false, false, false);
}

void TitleStripTest::pressCompoundsOnTheHover() {
    move(900, 5);
    press(900, 10);
    // The white bar went to 255 and stays clipped there, so the press ends it at 205.
    QCOMPARE(canvas_->pixel(900, 10), ui::rgb(205, 205, 205));
    EXPECT_LOOK(minimiseBlockShown, then(brightened, darkened));
    EXPECT_LOOK(closeRect, plain);
    flagsAre(true, false, true, false);
    press(910, 15);
    EXPECT_LOOK(minimiseBlockShown, then(brightened, darkened));

    move(930, 5);
    press(930, 5);
    EXPECT_LOOK(closeBlockPressed, then(redTinted, blueTinted));
    EXPECT_LOOK(minimiseRect, plain);
    flagsAre(true, true, true, true);
    press(950, 2);
    EXPECT_LOOK(closeBlockPressed, then(redTinted, blueTinted));

    // A press without a hover first works on the plain look.
    move(600, 1);
    press(900, 10);
    EXPECT_LOOK(minimiseBlockShown, darkened);
}

void TitleStripTest::releaseOnMinimiseMinimisesAndLeavesStripPlain() {
    move(900, 5);
    press(900, 10);
    release(900, 10);
    QVERIFY(window_->isMinimized());
    QVERIFY(!openQuitDialog());
    EXPECT_LOOK(wholeStrip, plain);
    flagsAre(false, false, false, false);
}

void TitleStripTest::releaseOnCloseAsksToQuitAndThenHighlightsMinimise() {
    QImage whileAsking;
    QWidget* dialogOwner = nullptr;
    bool flagsSetWhileAsking = true;
    move(930, 5);
    press(930, 5);
    release(930, 5);
    dismissQuitDialog([&] {
        whileAsking = canvas_->surface().copy();
        dialogOwner = openQuitDialog()->parentWidget();
        flagsSetWhileAsking = strip_->closePressed() || strip_->closeHovered();
    });

    QVERIFY(dialogSeen_);
    QVERIFY(cancelFound_);
    QCOMPARE(dialogOwner, window_.get());
    QVERIFY(!flagsSetWhileAsking);
    // The press look stays while the dialog is up.
    EXPECT_LOOK_IN(whileAsking, closeBlockPressed, then(redTinted, blueTinted));
    EXPECT_LOOK_IN(whileAsking, sharedColumn, plain);
    EXPECT_LOOK_IN(whileAsking, minimiseRect, plain);

    // Back from the dialog: minimise shown highlighted, wherever the pointer is.
    QVERIFY(!window_->isMinimized());
    EXPECT_LOOK(minimiseBlockShown, brightened);
    EXPECT_LOOK(closeRect, plain);
    flagsAre(true, false, false, false);
}

void TitleStripTest::releaseInSharedColumnMinimisesThenAsks() {
    bool minimisedWhileAsking = false;
    release(916, 19);
    dismissQuitDialog([&] { minimisedWhileAsking = window_->isMinimized(); });
    QVERIFY(dialogSeen_);
    QVERIFY(minimisedWhileAsking);
    EXPECT_LOOK(minimiseBlockShown, brightened);
    EXPECT_LOOK(closeRect, plain);
    flagsAre(true, false, false, false);
}

void TitleStripTest::releaseAwayFromButtonsOnlyRepaintsTheLowerHalf() {
    move(930, 5);
    press(930, 5);
    release(930, 20);
    QVERIFY(!openQuitDialog());
    QVERIFY(!window_->isMinimized());
    const Look pressed = then(redTinted, blueTinted);
    EXPECT_LOOK(closeBlockPressed, pressed);
    EXPECT_LOOK(QRect(890, 0, 27, 22), plain);
    flagsAre(false, false, false, false);

    // With the flags reset, the next hover tints again on top of what is left.
    move(940, 5);
    EXPECT_LOOK(closeBlockPressed, then(pressed, redTinted));
    EXPECT_LOOK(QRect(916, 1, 1, 18), redTinted);

    move(600, 1);
    move(900, 5);
    release(900, 20);
    EXPECT_LOOK(QRect(891, 1, 24, 9), brightened);
    EXPECT_LOOK(QRect(891, 10, 24, 9), plain);
    QVERIFY(!window_->isMinimized());
}

void TitleStripTest::pressAwayFromButtonsClearsPressesButKeepsHovers() {
    move(900, 5);
    press(900, 5);
    move(930, 5);
    press(930, 5);
    flagsAre(true, true, true, true);

    // Row 21 under the close button is off the buttons: the press starts a window move.
    press(930, 21);
    EXPECT_LOOK(wholeStrip, plain);
    flagsAre(true, true, false, false);
    // The move begun by the press ends with the button's release.
    QProcess::execute(QStringLiteral("xdotool"), {QStringLiteral("mouseup"), QStringLiteral("1")});
}

void TitleStripTest::dragOnTheStripMovesTheWindow() {
    QCoreApplication::processEvents();
    const QPoint before = window_->pos();
    const QPoint grab = canvas_->mapToGlobal(QPoint(400, 10));
    const auto xdotool = [](const QStringList& args) {
        QCOMPARE(QProcess::execute(QStringLiteral("xdotool"), args), 0);
    };
    xdotool({QStringLiteral("mousemove"), QString::number(grab.x()), QString::number(grab.y())});
    QTest::qWait(100);
    xdotool({QStringLiteral("mousedown"), QStringLiteral("1")});
    QTest::qWait(200);
    for (int step = 1; step <= 4; ++step) {
        xdotool({QStringLiteral("mousemove"), QString::number(grab.x() + 30 * step),
                 QString::number(grab.y() + 20 * step)});
        QTest::qWait(100);
    }
    xdotool({QStringLiteral("mouseup"), QStringLiteral("1")});
    QTRY_COMPARE(window_->pos(), before + QPoint(120, 80));
    EXPECT_LOOK(wholeStrip, plain);
    QCursor::setPos(1599, 999);
}

SORVO_GUI_TEST_MAIN(TitleStripTest)

#include "test_title_strip.moc"

#include "resources/pictures.h"
#include "resources/window_design.h"
#include "support/event_rounds.h"
#include "support/gui_test_main.h"
#include "ui/framework/after_first_paint.h"
#include "ui/framework/canvas.h"
#include "ui/framework/graphic_button.h"
#include "ui/framework/picture_box.h"
#include "ui/framework/picture_loader.h"
#include "ui/framework/program.h"
#include "ui/framework/skin_window.h"
#include "ui/framework/tray_icon.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QPointer>
#include <QProcess>
#include <QProgressBar>
#include <QSignalSpy>
#include <QSystemTrayIcon>
#include <QTest>
#include <QTimer>
#include <cstdio>
#include <map>

using namespace sorvo;
using namespace sorvo::ui;

namespace {

QImage checkerTile() {
    QImage tile(7, 22, QImage::Format_RGB32);
    tile.fill(qRgb(40, 40, 40));
    tile.setPixel(0, 0, qRgb(200, 10, 10));
    return tile;
}

// Runs this test program again as a child in the given mode and returns its exit code and
// standard output.
std::pair<int, QByteArray> runChild() {
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--child")});
    if (!child.waitForFinished(30000)) return {-1, {}};
    return {child.exitStatus() == QProcess::NormalExit ? child.exitCode() : -2,
            child.readAllStandardOutput()};
}

// The window the X server's window manager holds active, as xdotool reports its id.
QString activeX11Window() {
    QProcess xdotool;
    xdotool.start(QStringLiteral("xdotool"), {QStringLiteral("getactivewindow")});
    if (!xdotool.waitForFinished(5000)) return {};
    return QString::fromLatin1(xdotool.readAllStandardOutput()).trimmed();
}

// A text property of an X window as the X server holds it, decoded by xprop.
QString x11TextProperty(const QString& windowId, const char* property) {
    QProcess xprop;
    xprop.start(QStringLiteral("xprop"),
                {QStringLiteral("-id"), windowId, QString::fromLatin1(property)});
    if (!xprop.waitForFinished(10000)) return QStringLiteral("(xprop did not answer)");
    const QString line = QString::fromUtf8(xprop.readAllStandardOutput()).trimmed();
    const qsizetype quote = line.indexOf(u'"');
    if (quote < 0 || !line.endsWith(u'"')) return line;
    return line.mid(quote + 1, line.size() - quote - 2);
}

// A quit asked for while a modal dialog stands and a window's handler still runs: the loop ends
// once the handler is back, then the teardown runs once.
int childMain() {
    auto* owner = new SkinWindow(design::mainWindow());
    owner->showModeless();
    auto* dialog = new SkinWindow(design::aboutWindow(), owner);
    QObject::connect(dialog, &SkinWindow::created, [] {
        QTimer::singleShot(200, [] {
            program::quit();
            std::printf("handler went on\n");
        });
    });
    QObject::connect(dialog, &SkinWindow::closed, [] { std::printf("closed after the end\n"); });
    dialog->open();
    const int code = program::run();
    std::printf("released\n");
    return code;
}

} // namespace

class WindowFrameworkTest : public QObject {
    Q_OBJECT
  private slots:
    void canvasKeepsWhatIsDrawnUntilCleared() {
        QWidget host;
        Canvas canvas(&host);
        canvas.resize(40, 22);
        canvas.setBackground(checkerTile());
        // The background repeats every tile width; colours keep red in the low byte.
        QCOMPARE(canvas.pixel(0, 0), rgb(200, 10, 10));
        QCOMPARE(canvas.pixel(7, 0), rgb(200, 10, 10));
        QCOMPARE(canvas.pixel(1, 0), rgb(40, 40, 40));

        QImage glyph(3, 2, QImage::Format_RGB32);
        glyph.fill(qRgb(255, 0, 255));
        glyph.setPixel(1, 1, qRgb(255, 255, 255));
        canvas.drawPicture(glyph, 6, 0, rgb(255, 0, 255));
        QCOMPARE(canvas.pixel(7, 1), rgb(255, 255, 255));
        QCOMPARE(canvas.pixel(7, 0), rgb(200, 10, 10)); // magenta let the background through

        canvas.setPixel(20, 5, rgb(1, 2, 3));
        QCOMPARE(canvas.pixel(20, 5), rgb(1, 2, 3));
        canvas.clearRect(18, 3, 100, 100); // clipped to the canvas
        QCOMPARE(canvas.pixel(20, 5), rgb(40, 40, 40));
        QCOMPARE(canvas.pixel(7, 1), rgb(255, 255, 255)); // outside the cleared rectangle

        // A snapshot made the background brings the drawing back on every clear.
        canvas.setBackground(QImage::fromData(canvas.snapshot()));
        canvas.setPixel(7, 1, rgb(0, 0, 0));
        canvas.clearRect(0, 0, 40, 22);
        QCOMPARE(canvas.pixel(7, 1), rgb(255, 255, 255));
        QCOMPARE(canvas.pixel(99, 99), Colour{0});
    }

    void windowsAreBuiltFromTheirDesigns() {
        SkinWindow window(design::updateWindow());
        QCOMPARE(window.objectName(), QStringLiteral("UpdateWindow"));
        QCOMPARE(window.windowTitle(), QStringLiteral("索沃电台在线更新升级"));
        QCOMPARE(window.size(), QSize(376, 277));
        QVERIFY(window.windowFlags() & Qt::FramelessWindowHint);
        auto* speed = window.control<QLabel>(QStringLiteral("标签速度"));
        QVERIFY(speed);
        QCOMPARE(speed->geometry(), QRect(234, 152, 112, 20));
        QCOMPARE(speed->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
        auto* speeds = window.control<QComboBox>(QStringLiteral("组合框"));
        QCOMPARE(speeds->count(), 5);
        QCOMPARE(speeds->currentIndex(), 0);
        QCOMPARE(speeds->itemData(4).toInt(), 6);
        auto* bar = window.control<QProgressBar>(QStringLiteral("进度条1"));
        QCOMPARE(bar->maximum(), 1000);
        QVERIFY(window.timer(QStringLiteral("时钟1")));
        QCOMPARE(window.timer(QStringLiteral("时钟"))->interval(), 0);
        auto* start = window.control<GraphicButton>(QStringLiteral("按钮1"));
        QCOMPARE(start->text(), QStringLiteral("立即"));
        QCOMPARE(start->focusPolicy(), Qt::StrongFocus);
        QCOMPARE(start->accessibleName(), QStringLiteral("立即在线升级"));

        SkinWindow splash(design::splashWindow());
        auto* picture = splash.control<PictureBox>(QStringLiteral("索沃电台启动加载图片框"));
        QVERIFY(picture && picture->isAnimated());
    }

    // The desktop lists each window by exactly its own title (taskbar, window switcher), in the
    // modern and the old property alike.
    void theDisplayServerKnowsEachWindowByItsOwnTitle() {
        for (const design::WindowDesign* design :
             {&design::mainWindow(), &design::splashWindow(), &design::quitConfirmWindow(),
              &design::aboutWindow(), &design::versionWindow(), &design::updateWindow()}) {
            SkinWindow window(*design);
            window.show();
            QVERIFY(QTest::qWaitForWindowExposed(&window));
            const QString id = QString::number(window.winId());
            for (const char* property : {"_NET_WM_NAME", "WM_NAME"})
                QCOMPARE(x11TextProperty(id, property), design->title);
        }
    }

    // The window manager is asked: what it makes active is what the user sees in front.
    void bringToFrontRestoresAHiddenMinimisedWindow() {
        SkinWindow window(design::aboutWindow());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QSignalSpy states(&window, &SkinWindow::stateChanged);
        window.minimise();
        QTRY_VERIFY(window.isMinimized());
        QCOMPARE(states.last().at(0).value<Qt::WindowStates>(), Qt::WindowMinimized);
        window.hide();

        window.bringToFront();
        QVERIFY(window.isVisible());
        QVERIFY(!window.isMinimized());
        const QString id = QString::number(window.winId());
        QTRY_COMPARE_WITH_TIMEOUT(activeX11Window(), id, 5000);
    }

    // A still, opaque picture that fills its box hides what lies beneath: a widget below that
    // keeps redrawing (the playing page under the band) does not repaint the box. A box the
    // picture does not fill is painted with the widget below.
    void filledPictureBoxesAreNotRepaintedFromBeneath() {
        struct PaintCounter : QObject {
            std::map<QObject*, int> paints;
            bool eventFilter(QObject* watched, QEvent* event) override {
                if (event->type() == QEvent::Paint) ++paints[watched];
                return false;
            }
        } counter;
        QWidget window;
        window.setGeometry(100, 100, 1000, 60);
        auto* below = new QWidget(&window);
        below->setGeometry(window.rect());
        below->setAutoFillBackground(true);
        auto* filled = new PictureBox(&window, QStringLiteral("BandImage"));
        filled->setGeometry(0, 0, 960, 20);
        auto* wider = new PictureBox(&window, QStringLiteral("BandImage"));
        wider->setGeometry(0, 30, 1000, 20);
        filled->installEventFilter(&counter);
        wider->installEventFilter(&counter);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        counter.paints.clear();
        for (int frame = 0; frame < 5; ++frame)
            below->repaint();
        QCOMPARE(counter.paints[filled], 0);
        QCOMPARE(counter.paints[wider], 5);
        QCOMPARE(filled->grab().toImage().pixel(10, 10),
                 QImage(pictures::path(QStringLiteral("BandImage"))).pixel(10, 10));
    }

    void sizeChangedIsRaisedWhenTheWindowIsFirstShown() {
        auto* window = new SkinWindow(design::quitConfirmWindow());
        int sizeChanges = 0;
        bool shownAtCreation = true;
        connect(window, &SkinWindow::created, [&] { shownAtCreation = window->isVisible(); });
        connect(window, &SkinWindow::sizeChanged, [&] { ++sizeChanges; });
        window->showModeless();
        QVERIFY(QTest::qWaitForWindowExposed(window));
        QVERIFY(!shownAtCreation);
        QVERIFY(sizeChanges >= 1);
        QCOMPARE(window->pos(), QPoint(50, 50));
        window->close();
    }

    void aRefusedCloseKeepsTheWindowAndCloseTakesTimersAndTrayAlong() {
        struct HidingWindow : SkinWindow {
            HidingWindow() : SkinWindow(design::updateWindow()) {}
            bool acceptsCloseRequest() override {
                hide();
                return false;
            }
        };
        QPointer<SkinWindow> window = new HidingWindow;
        QSignalSpy closed(window.data(), &SkinWindow::closed);
        window->showModeless();
        window->setTrayIcon(QStringLiteral("UpdateIcon"), QStringLiteral("tip"));
        window->timer(QStringLiteral("时钟"))->start(50);
        window->requestClose();
        QVERIFY(!window->isVisible());
        QCOMPARE(closed.count(), 0);

        QPointer<QSystemTrayIcon> tray = window->trayIcon()->systemIcon();
        QTimer* timer = window->timer(QStringLiteral("时钟"));
        QVERIFY(window->close());
        QCOMPARE(closed.count(), 1);
        QVERIFY(!timer->isActive());
        QTRY_VERIFY(tray.isNull());
        QTRY_VERIFY(window.isNull());
    }

    void trayActionsArriveAsTypedActivations() {
        SkinWindow window(design::mainWindow());
        QList<TrayActivation> activations;
        connect(&window, &SkinWindow::trayActivated,
                [&](TrayActivation activation) { activations << activation; });
        window.setTrayIcon(QStringLiteral("ProgramIcon"), QStringLiteral("first"));
        window.setTrayIcon(QStringLiteral("ProgramIcon"), QStringLiteral("second"));
        QCOMPARE(window.trayIcon()->tooltip(), QStringLiteral("second"));
        QSystemTrayIcon* icon = window.trayIcon()->systemIcon();
        emit icon->activated(QSystemTrayIcon::Trigger);
        emit icon->activated(QSystemTrayIcon::DoubleClick);
        emit icon->activated(QSystemTrayIcon::Context);
        emit icon->activated(QSystemTrayIcon::MiddleClick);
        emit icon->activated(QSystemTrayIcon::Unknown);
        QCOMPARE(activations,
                 (QList<TrayActivation>{TrayActivation::Click, TrayActivation::DoubleClick,
                                        TrayActivation::ContextMenu, TrayActivation::MiddleClick}));
    }

    void aModalWindowOpensWithoutWaitingAndBlocksItsOwnerWhileItStands() {
        SkinWindow owner(design::mainWindow());
        owner.show();
        auto* dialog = new SkinWindow(design::aboutWindow(), &owner);
        QSignalSpy closed(dialog, &SkinWindow::closed);
        dialog->open();
        QVERIFY(dialog->isVisible());
        QCOMPARE(QApplication::activeModalWidget(), dialog);
        QVERIFY(QApplication::activeModalWidget() != &owner);
        dialog->close();
        QCOMPARE(closed.count(), 1);
        QTRY_VERIFY(!QApplication::activeModalWidget());
    }

    void skinCursorsKeepTheirShapeAndHotSpot() {
        for (const auto& name : {QStringLiteral("SkinCursor"), QStringLiteral("CancelCursor"),
                                 QStringLiteral("CloseCursor")}) {
            const QCursor cursor = loadCursor(name);
            QCOMPARE(cursor.hotSpot(), QPoint(0, 0));
            const QImage image = cursor.pixmap().toImage();
            QCOMPARE(image.size(), QSize(32, 32));
            // The arrow's tip is drawn; the far corner is see-through, not a black box.
            QCOMPARE(qAlpha(image.pixel(0, 0)), 255);
            QCOMPARE(qAlpha(image.pixel(31, 0)), 0);
        }
        QCOMPARE(loadCursor(design::handCursor).shape(), Qt::PointingHandCursor);
    }

    void workAfterFirstPaintWaitsForThePaintRunsOnceAndIsNeverDropped() {
        QObject context;
        int runs = 0;
        {
            SkinWindow window(design::aboutWindow());
            afterFirstPaint(window, &context, [&] { ++runs; });
            QVERIFY(queuedWorkRan());
            QCOMPARE(runs, 0); // not shown, not painted
            window.show();
            QTRY_COMPARE(runs, 1);
            window.update();
            window.hide();
            window.show();
            QVERIFY(paintedAgain(window));
            QCOMPARE(runs, 1);
        }

        auto* neverShown = new SkinWindow(design::aboutWindow());
        afterFirstPaint(*neverShown, &context, [&] { ++runs; });
        delete neverShown;
        QTRY_COMPARE(runs, 2);

        auto* gone = new QObject;
        SkinWindow window(design::aboutWindow());
        afterFirstPaint(window, gone, [&] { ++runs; });
        delete gone;
        window.show();
        QVERIFY(paintedAgain(window));
        QCOMPARE(runs, 2);
    }

    void quittingLeavesTheLoopThenTearsDownOnceWithExitCodeZero() {
        const auto [code, output] = runChild();
        QCOMPARE(code, 0);
        QCOMPARE(output, QByteArray("handler went on\nreleased\n"));
    }
};

int main(int argc, char* argv[]) {
    ui::program::prepareProcess();
    QApplication application(argc, argv);
    ui::program::configureApplication();
    const KnownTrayHosts trayHosts;
    if (argc == 2 && QByteArray(argv[1]) == "--child") return childMain();
    WindowFrameworkTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_window_framework.moc"

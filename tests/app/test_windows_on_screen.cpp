#include "app/main_window.h"
#include "browser/render_path.h"
#include "config/hosts.h"
#include "demo_service.h"
#include "support/client_windows.h"
#include "support/desktop_input.h"
#include "support/gui_test_main.h"
#include "support/modal_dialog.h"
#include "support/update_desk.h"
#include "support/window_stack.h"
#include "ui/dialogs.h"
#include "ui/framework/program.h"
#include "ui/framework/web_browser.h"
#include "update/update_window.h"

#include <QApplication>
#include <QQuickWindow>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <QWebEngineView>
#include <functional>

using namespace sorvo;
using ui::SkinWindow;

namespace {

// What the X server shows in the window's place: its root window's pixels, not the window's
// own drawing, so that a window drawn but never shown is caught.
QImage onScreen(const QWidget& window) {
    const QPoint origin = window.mapToGlobal(QPoint(0, 0));
    return window.screen()
        ->grabWindow(0, origin.x(), origin.y(), window.width(), window.height())
        .toImage()
        .convertToFormat(QImage::Format_RGB32);
}

// The share of the window's pixels, within its outline, that the screen shows as the window
// draws them.
double shareShown(QWidget& window) {
    const QImage drawn = window.grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QImage shown = onScreen(window);
    const QRegion outline = window.mask().isEmpty() ? QRegion(window.rect()) : window.mask();
    long inside = 0, same = 0;
    for (const QRect& rect : outline) {
        for (int y = rect.top(); y <= rect.bottom(); ++y) {
            for (int x = rect.left(); x <= rect.right(); ++x) {
                ++inside;
                same += drawn.pixel(x, y) == shown.pixel(x, y);
            }
        }
    }
    return inside > 0 ? static_cast<double>(same) / static_cast<double>(inside) : 0;
}

// A window that has just appeared may take a few frames to reach the screen.
double shareShownWithin(QWidget& window, int ms) {
    double share = 0;
    (void)QTest::qWaitFor([&] { return (share = shareShown(window)) >= 0.99; }, ms);
    return share;
}

struct DialogCase {
    const char* name;
    std::function<SkinWindow*(SkinWindow&)> open;
};

std::vector<DialogCase> ownedDialogs() {
    return {
        {"QuitConfirmWindow", [](SkinWindow& o) { return ui::openQuitConfirmWindow(o); }},
        {"AboutWindow", [](SkinWindow& o) { return ui::openAboutWindow(o); }},
        {"VersionWindow", [](SkinWindow& o) -> SkinWindow* { return ui::openVersionWindow(o); }},
    };
}

} // namespace

// Each dialog, and the update window with its page, is drawn on screen over the main window
// while the radio page plays, on the render path the program picks for this desktop.
class WindowsOnScreenTest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() {
        hosts().site = QStringLiteral("127.0.0.1:%1").arg(service_.port());
        mainWindow_ = new app::MainWindow(programUpdates().controller);
        mainWindow_->load();
        QVERIFY(waitUntilShown(mainWindow_));
        // Playing, the page's disc turns: the screen keeps changing.
        QImage shown = onScreen(*mainWindow_);
        for (int change = 0; change < 2; ++change) {
            const QImage before = shown;
            QVERIFY(
                QTest::qWaitFor([&] { return (shown = onScreen(*mainWindow_)) != before; }, 60000));
        }
    }

    // Software OpenGL draws with the software scene graph, a hardware one through OpenGL. On
    // the software path the program's script world can start the engine's full collection.
    void theRenderPathFollowsTheOpenGlFound() {
        const bool software = browser::isSoftwareRasterizer(browser::sharedOpenGlRenderer());
        QCOMPARE(QQuickWindow::sceneGraphBackend() == QStringLiteral("software"), software);

        auto* view = mainWindow_->radioBrowser().findChild<QWebEngineView*>();
        QVERIFY(view);
        QString collector;
        view->page()->runJavaScript(QStringLiteral("typeof __sorvoCollectGarbage"),
                                    QWebEngineScript::ApplicationWorld,
                                    [&](const QVariant& type) { collector = type.toString(); });
        QTRY_VERIFY(!collector.isEmpty());
        QCOMPARE(collector, software ? QStringLiteral("function") : QStringLiteral("undefined"));
    }

    void dialogsAreDrawnOverThePlayingPage() {
        for (const DialogCase& c : ownedDialogs()) {
            SkinWindow* dialog = c.open(*mainWindow_);
            QVERIFY(awaitModalDialog() == dialog);
            const QString name = dialog->objectName();
            const double share = shareShownWithin(*dialog, 10000);
            dialog->close();
            QCOMPARE(name, QString::fromLatin1(c.name));
            QVERIFY2(
                share > 0.99,
                qPrintable(QStringLiteral("%1: %2 of its pixels on screen").arg(name).arg(share)));
        }
    }

    // An owned dialog stays above the main window and keeps the keys, whatever the listener
    // does to the main window: a click on its page or its title strip, hiding and showing it
    // from the tray, bringing it to the front.
    void ownedDialogsStayAboveTheMainWindow() {
        desktop::PressWatch presses;
        QCoreApplication::instance()->installNativeEventFilter(&presses);
        const auto onTop = [this](const SkinWindow& dialog) {
            return QTest::qWaitFor([&] { return desktop::aboveWithTheKeys(dialog, *mainWindow_); },
                                   5000);
        };
        for (const DialogCase& c : ownedDialogs()) {
            SkinWindow* dialog = c.open(*mainWindow_);
            QVERIFY(awaitModalDialog() == dialog);
            QVERIFY2(onTop(*dialog), c.name);
            // Beside the dialog: the page at the left, the strip above.
            for (const QPoint point : {QPoint(100, 300), QPoint(400, 10)}) {
                const int before = presses.presses();
                QVERIFY(desktop::clickAt(mainWindow_->mapToGlobal(point)));
                QTRY_VERIFY(presses.presses() > before);
                QVERIFY2(onTop(*dialog), c.name);
            }
            const QPoint trayIcon = desktop::trayIconCentre(*mainWindow_->trayIcon()->systemIcon());
            QVERIFY(!trayIcon.isNull());
            while (mainWindow_->isVisible()) {
                const int toggle = mainWindow_->trayToggleState();
                QVERIFY(desktop::doubleClickAt(trayIcon));
                QTRY_VERIFY(mainWindow_->trayToggleState() != toggle);
            }
            QVERIFY(desktop::doubleClickAt(trayIcon));
            QVERIFY(waitUntilShown(mainWindow_));
            QVERIFY2(onTop(*dialog), c.name);
            mainWindow_->bringToFront();
            QVERIFY2(onTop(*dialog), c.name);
            dialog->close();
        }
        QCoreApplication::instance()->removeNativeEventFilter(&presses);
    }

    // It opens at the stored position, wholly inside the main window.
    void updateWindowAndItsPageAreDrawnOverThePlayingPage() {
        mainWindow_->showUpdateWindow();
        update::UpdateWindow* window = liveUpdateWindow();
        QVERIFY(window);
        QVERIFY(mainWindow_->geometry().contains(window->geometry()));
        auto* browser = window->findChild<ui::WebBrowser*>();
        QVERIFY(browser);
        QSignalSpy loaded(browser, &ui::WebBrowser::loadFinished);
        QVERIFY(loaded.wait(30000));
        QCOMPARE(loaded.first().first().toBool(), true);
        const double share = shareShownWithin(*window, 10000);
        window->close();
        QVERIFY2(share > 0.99, qPrintable(QStringLiteral("%1 of its pixels on screen").arg(share)));
    }

  private:
    test::DemoService service_;
    app::MainWindow* mainWindow_ = nullptr;
};

SORVO_GUI_TEST_MAIN(WindowsOnScreenTest)

#include "test_windows_on_screen.moc"

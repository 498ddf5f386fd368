#include "app/main_window.h"
#include "app/tray_menu.h"
#include "config/hosts.h"
#include "platform/tray_hosts.h"
#include "support/desktop_input.h"
#include "support/gui_test_main.h"
#include "support/modal_dialog.h"
#include "support/tray_panel.h"
#include "support/update_desk.h"
#include "ui/framework/canvas.h"

#include <QProcess>

using namespace sorvo;

namespace {

// A spot of `window` that no control covers, where a right click reaches the window itself.
QPoint bareSpot(const QWidget& window) {
    for (int y = 2; y < window.height(); y += 4)
        for (int x = 2; x < window.width(); x += 4)
            if (!window.childAt(x, y)) return window.mapToGlobal(QPoint(x, y));
    return {};
}

// Clicks again while the window is still coming back on the screen.
bool popUpWithRightClick(QPoint where, const QMenu& menu) {
    for (int attempt = 0; attempt < 10; ++attempt)
        if (desktop::clickAt(where, 3) &&
            QTest::qWaitFor([&] { return QApplication::activePopupWidget() == &menu; }, 2000))
            return true;
    return false;
}

} // namespace

// A desktop without any tray host (stock GNOME); a panel that hosts StatusNotifierItems comes
// later and restarts, and an XEmbed tray comes and goes.
class TrayWithoutHostTest : public QObject {
    Q_OBJECT

  private:
    TrayPanel panel_;
    app::MainWindow* mainWindow_ = nullptr;

  private slots:
    void initTestCase() {
        hosts().site = QStringLiteral("127.0.0.1:9");
        hosts().forum = QStringLiteral("127.0.0.2:9");
        hosts().download = QStringLiteral("127.0.0.1:9");
        mainWindow_ = new app::MainWindow(programUpdates().controller);
        mainWindow_->load();
        QVERIFY(waitUntilShown(mainWindow_));
    }

    // The title strip's right click opens the tray menu at the pointer, and the keyboard
    // chooses its commands there.
    void titleStripCarriesTheTrayMenu() {
        QVERIFY(!mainWindow_->trayIcon()->isShown());
        const ui::Canvas& strip = mainWindow_->titleCanvas();
        const QPoint where = strip.mapToGlobal(QPoint(strip.width() / 3, strip.height() / 2));
        app::TrayMenu& menu = mainWindow_->trayMenu();
        QVERIFY(popUpWithRightClick(where, menu));
        QVERIFY(menu.geometry().contains(where + QPoint(1, 1)));
        QVERIFY(desktop::keys(
            {QStringLiteral("Down"), QStringLiteral("Down"), QStringLiteral("Return")}));
        QTRY_VERIFY_WITH_TIMEOUT(mainWindow_->isMinimized(), 10000);
        mainWindow_->bringToFront();
        QTRY_VERIFY(!mainWindow_->isMinimized());

        QVERIFY(popUpWithRightClick(where, menu));
        QVERIFY(
            desktop::keys({QStringLiteral("Up"), QStringLiteral("Up"), QStringLiteral("Return")}));
        ui::SkinWindow* about = awaitModalDialog();
        QVERIFY(about);
        QCOMPARE(about->objectName(), QStringLiteral("AboutWindow"));
        about->close();
        QVERIFY(awaitNoModalDialog());
    }

    // The update window's close button minimises it, and a right click opens its own menu.
    void updateWindowStaysReachable() {
        update::UpdateWindow& window = programUpdates().open();
        QVERIFY(waitUntilShown(&window));
        window.requestClose();
        QTRY_VERIFY_WITH_TIMEOUT(window.isMinimized(), 10000);
        QVERIFY(window.isVisible());
        window.bringToFront();
        QTRY_VERIFY(!window.isMinimized());
        QVERIFY(popUpWithRightClick(bareSpot(window), window.trayMenu()));
        const QPointer<update::UpdateWindow> quitting(&window);
        QVERIFY(desktop::keys(
            {QStringLiteral("Down"), QStringLiteral("Down"), QStringLiteral("Return")}));
        QTRY_VERIFY_WITH_TIMEOUT(quitting.isNull(), 10000);
    }

    // A panel that starts after the client gets both items within two seconds, and gets them
    // again after a restart; the update window goes back to hiding in the tray.
    void latePanelBringsTheTrayBack() {
        panel_.start();
        QTRY_COMPARE_WITH_TIMEOUT(panel_.items().size(), 1, 2000);
        const QString item = panel_.items().constFirst();
        QCOMPARE(panel_.menu(item).captions().size(), 13);
        panel_.call(item, QStringLiteral("Activate"), {0, 0});
        QTRY_COMPARE_WITH_TIMEOUT(mainWindow_->trayToggleState(), 1, 2000);

        update::UpdateWindow& window = programUpdates().open();
        QTRY_COMPARE_WITH_TIMEOUT(panel_.items().size(), 2, 2000);
        window.requestClose();
        QTRY_VERIFY(!window.isVisible());
        QVERIFY(!window.isMinimized());

        panel_.stop();
        panel_.start();
        QTRY_COMPARE_WITH_TIMEOUT(panel_.items().size(), 2, 2000);
        window.close();
    }

    // An XEmbed tray is heard of as it takes the tray selection and as it goes, without asking.
    void embeddedTrayComingAndGoingIsHeard() {
        const platform::TrayHosts& hosts = platform::TrayHosts::instance();
        QVERIFY(!hosts.embeddedTray());
        QProcess trayer;
        trayer.start(QStringLiteral("trayer"), {QStringLiteral("--edge"), QStringLiteral("top")});
        QTRY_VERIFY_WITH_TIMEOUT(hosts.embeddedTray(), 5000);
        trayer.kill();
        trayer.waitForFinished();
        QTRY_VERIFY_WITH_TIMEOUT(!hosts.embeddedTray(), 2000);
    }
};

SORVO_GUI_TEST_MAIN(TrayWithoutHostTest)
#include "test_tray_without_host.moc"

// The main window and the update window stand in for their pages while the site is down, in the
// part of the browser each window shows, and show the pages again once the site is back,
// without anybody doing anything.
#include "app/main_window.h"
#include "browser/site_server.h"
#include "config/hosts.h"
#include "support/client_windows.h"
#include "support/gui_test_main.h"
#include "support/update_desk.h"
#include "ui/framework/web_browser.h"
#include "update/update_window.h"

#include <QLabel>

using namespace sorvo;

namespace {

QWidget* panelOf(ui::WebBrowser& browser) {
    return browser.findChild<QWidget*>(QStringLiteral("offlinePanel"));
}

bool panelShown(ui::WebBrowser& browser) {
    QWidget* panel = panelOf(browser);
    return panel != nullptr && panel->isVisible();
}

// The panel's headline is there, and everything on the panel lies inside `shown`, in the
// window's coordinates.
void expectPanelWithin(ui::WebBrowser& browser, const QRect& shown) {
    QWidget* panel = panelOf(browser);
    QCOMPARE(panel->findChild<QLabel*>(QStringLiteral("offlineHeadline"))->text(),
             QStringLiteral("无法连接到索沃电台"));
    for (QWidget* part : panel->findChildren<QWidget*>()) {
        const QRect inWindow(part->mapTo(part->window(), QPoint(0, 0)), part->size());
        QVERIFY2(shown.contains(inWindow), qPrintable(QStringLiteral("%1 at %2,%3 %4x%5")
                                                          .arg(part->objectName())
                                                          .arg(inWindow.x())
                                                          .arg(inWindow.y())
                                                          .arg(inWindow.width())
                                                          .arg(inWindow.height())));
    }
}

} // namespace

class PagesOfflineTest : public QObject {
    Q_OBJECT

  private:
    SiteServer site_;

  private slots:
    void initTestCase() {
        site_.page("/diantai/sorvo/", "radio");
        site_.page("/diantai/softpic/soft_v1.0.html", "upgrade");
        site_.stop();
        hosts().site = site_.host();
        hosts().download = QStringLiteral("127.0.0.1:9");
    }

    void bothPagesComeBackWithTheSite() {
        auto* mainWindow = new app::MainWindow(programUpdates().controller);
        mainWindow->load();
        QVERIFY(waitUntilShown(mainWindow));
        ui::WebBrowser& radio = mainWindow->radioBrowser();
        QTRY_VERIFY_WITH_TIMEOUT(panelShown(radio), 20000);
        // Below the band, inside the window: the browser's columns 121 to 1080.
        expectPanelWithin(radio, QRect(0, 41, 960, 399));

        mainWindow->showUpdateWindow();
        update::UpdateWindow* updateWindow = liveUpdateWindow();
        QVERIFY(updateWindow != nullptr);
        auto& upgrade = *updateWindow->control<ui::WebBrowser>(QStringLiteral("超文本浏览框1"));
        QTRY_VERIFY_WITH_TIMEOUT(panelShown(upgrade), 20000);
        expectPanelWithin(upgrade, QRect(13, 16, 350, 80));

        site_.start();
        QTRY_COMPARE_WITH_TIMEOUT(radio.title(), QStringLiteral("radio"), 40000);
        QTRY_COMPARE_WITH_TIMEOUT(upgrade.title(), QStringLiteral("upgrade"), 40000);
        QTRY_VERIFY_WITH_TIMEOUT(!panelShown(radio) && !panelShown(upgrade), 5000);
        QCOMPARE(radio.url().toString(), site_.url(QStringLiteral("/diantai/sorvo/")));
    }
};

SORVO_GUI_TEST_MAIN(PagesOfflineTest)

#include "test_pages_offline.moc"

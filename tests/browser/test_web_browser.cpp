#include "support/gui_test_main.h"
#include "support/page_server.h"
#include "ui/framework/web_browser.h"

#include <QScreen>
#include <QSignalSpy>

using namespace sorvo::ui;

class WebBrowserTest : public QObject {
    Q_OBJECT
  private slots:
    // The browser is dark before any page and without the engine; the first page loads the
    // engine's module and shows.
    void theFirstPageBringsTheEngineAndShows() {
        PageServer server;
        QWidget window;
        window.setGeometry(100, 100, 300, 200);
        auto* browser = new WebBrowser(&window);
        browser->setGeometry(0, 0, 300, 200);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCOMPARE(browser->url(), QUrl());
        QCOMPARE(browser->grab().toImage().pixel(150, 100), qRgb(24, 24, 28));

        QSignalSpy loaded(browser, &WebBrowser::loadFinished);
        const QUrl page(QStringLiteral("http://%1/page").arg(server.host()));
        browser->openAddress(page);
        QVERIFY(loaded.wait(30000));
        QCOMPARE(loaded.first().first().toBool(), true);
        QCOMPARE(browser->url(), page);
        QCOMPARE(browser->title(), QStringLiteral("/page"));
        QTRY_COMPARE_WITH_TIMEOUT(
            window.screen()->grabWindow(window.winId()).toImage().pixel(150, 100),
            qRgb(0x20, 0x20, 0x24), 10000); // the test page's background
    }
};

SORVO_GUI_TEST_MAIN(WebBrowserTest)

#include "test_web_browser.moc"

// A page on the site tries to turn the embedded browser against its listener: it sends the
// browser elsewhere while the program's own load is under way or after going back, opens the
// default browser by itself, and holds the window with dialogs. Only a real click (xdotool)
// lets one address out.
#include "browser/site_server.h"
#include "config/hosts.h"
#include "support/default_browser.h"
#include "support/desktop_input.h"
#include "support/gui_test_main.h"
#include "ui/framework/web_browser.h"

#include <QMessageBox>
#include <QSignalSpy>

using namespace sorvo;

namespace {

// Each page says "settled <path>" in its title once its trick has had a second to work.
std::string trickPage(const std::string& path, const std::string& head, const std::string& script) {
    return "<!doctype html><html><head>" + head +
           "</head><body style='background:#202024'><script>" + script +
           ";setTimeout(() => document.title = 'settled " + path +
           "', 1000)</script></body></html>";
}

} // namespace

class PageTricksTest : public QObject {
    Q_OBJECT

    SiteServer site_;
    DefaultBrowser defaultBrowser_;
    QWidget window_;
    ui::WebBrowser* browser_ = nullptr;
    // The same server under a name that is not the site's.
    QString away() const {
        return site_.url(QStringLiteral("/away"))
            .replace(QStringLiteral("127.0.0.1"), QStringLiteral("localhost"));
    }

    void serve(const std::string& path, const std::string& head, const std::string& script) {
        site_.route(path, [=](const httplib::Request&, httplib::Response& response) {
            response.set_header("Cache-Control", "no-store");
            response.set_content(trickPage(path, head, script), "text/html");
        });
    }
    [[nodiscard]] bool openAndSettle(const QString& path, const QString& title = {}) {
        browser_->openAddress(QUrl(site_.url(path)));
        const QString settled = title.isEmpty() ? QStringLiteral("settled ") + path : title;
        return QTest::qWaitFor([&] { return browser_->title() == settled; }, 20000);
    }

  private slots:
    void initTestCase() {
        hosts().site = site_.host();
        const std::string away = this->away().toStdString();
        serve("/inline", "", "location.href = '" + away + "'");
        // Shown, so that /b comes after it in the history rather than in its place; shown again
        // when /b goes back, from the cache or not.
        serve("/a", "",
              "addEventListener('pageshow', e => { if (e.persisted || performance"
              ".getEntriesByType('navigation')[0].type == 'back_forward') location.href = '" +
                  away + "'; else setTimeout(() => location.href = '/b') })");
        serve("/b", "", "history.back()");
        serve("/meta", "<meta http-equiv='refresh' content='0; url=" + away + "'>", "");
        serve("/fetch", "", "location.href = '/package.bin'");
        serve("/timer", "",
              "let n = 0; setInterval(() => { location.href = '" + away +
                  "'; document.title = 'tries ' + ++n }, 200)");
        serve("/alerts", "", "for (let i = 0; i < 20; ++i) alert('again ' + i)");
        site_.route("/package.bin", [](const httplib::Request&, httplib::Response& response) {
            response.set_header("Content-Disposition", "attachment; filename=package.bin");
            response.set_content(std::string(4096, 'p'), "application/octet-stream");
        });
        window_.setGeometry(80, 80, 400, 300);
        browser_ = new ui::WebBrowser(&window_);
        browser_->setGeometry(window_.rect());
        window_.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window_));
    }

    // Redirects by script during the program's own load, or after going back, stay on the site.
    void clientRedirectsStayOnTheSite() {
        QVERIFY(openAndSettle(QStringLiteral("/a")));
        QVERIFY(openAndSettle(QStringLiteral("/inline")));
        QCOMPARE(site_.requests("/b"), 1);
        QCOMPARE(site_.requests("/away"), 0);
        QCOMPARE(defaultBrowser_.opened, QStringList());
    }

    // Without a click nothing leaves: not a refresh, not a download, not a timer's redirects.
    void nothingLeavesWithoutAClick() {
        QVERIFY(openAndSettle(QStringLiteral("/meta")));
        QVERIFY(openAndSettle(QStringLiteral("/fetch")));
        QCOMPARE(site_.requests("/package.bin"), 1);
        QVERIFY(openAndSettle(QStringLiteral("/timer"), QStringLiteral("tries 10")));
        QCOMPARE(defaultBrowser_.opened, QStringList());
    }

    // One click lets the timer's address out once, and only once.
    void oneClickOpensOnce() {
        QVERIFY(desktop::click(*browser_));
        QTRY_COMPARE_WITH_TIMEOUT(defaultBrowser_.opened, QStringList{away()}, 10000);
        const int tries = browser_->title().section(QLatin1Char(' '), 1).toInt();
        QTRY_VERIFY_WITH_TIMEOUT(
            browser_->title().section(QLatin1Char(' '), 1).toInt() >= tries + 15, 20000);
        QCOMPARE(defaultBrowser_.opened, QStringList{away()});
        QCOMPARE(site_.requests("/away"), 0);
    }

    // Three dialogs, then silence; none of them holds the page or the window.
    void dialogsCannotHoldTheWindow() {
        QVERIFY(openAndSettle(QStringLiteral("/alerts")));
        int boxes = 0;
        for (QWidget* widget : QApplication::topLevelWidgets())
            boxes += qobject_cast<QMessageBox*>(widget) != nullptr && widget->isVisible();
        QCOMPARE(boxes, 3);
        QCOMPARE(QApplication::activeModalWidget(), nullptr);
    }
};

SORVO_GUI_TEST_MAIN(PageTricksTest)

#include "test_page_tricks.moc"

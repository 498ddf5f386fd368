// A page on the site tries to turn the embedded browser against its listener: it sends the
// browser elsewhere while the program's own load is under way or after going back, opens the
// default browser by itself, holds the window with dialogs and dresses its words as links. Only a
// real click (xdotool) on a link lets that address out.
#include "browser/site_server.h"
#include "support/default_browser.h"
#include "support/desktop_input.h"
#include "support/gui_test_main.h"
#include "ui/framework/web_browser.h"

#include <QAbstractButton>
#include <QLabel>
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
        serve("/link", "",
              "document.body.innerHTML = `<a href='" + away +
                  "' style='position:fixed;inset:0'>out</a>`; let n = 0; setInterval(() => { "
                  "location.href = '" +
                  away + "?timer'; document.title = 'tries ' + ++n }, 200)");
        // Reloads itself four times, five boxes each time.
        serve("/alerts", "",
              "for (let i = 0; i < 5; ++i) alert('again ' + i);"
              "if ((sessionStorage.n = +(sessionStorage.n || 0) + 1) < 5) location.reload()");
        serve("/box", "",
              "alert(`<a href='" + away +
                  "?box'>CONTINUE</a>`); let n = 0; setInterval(() => {"
                  " location.href = '" +
                  away + "?box'; document.title = 'tries ' + ++n }, 100)");
        site_.route("/package.bin", [](const httplib::Request&, httplib::Response& response) {
            response.set_header("Content-Disposition", "attachment; filename=package.bin");
            response.set_content(std::string(4096, 'p'), "application/octet-stream");
        });
        window_.setGeometry(80, 80, 400, 300);
        browser_ = new ui::WebBrowser(&window_);
        browser_->setSites({site_.host()}, QStringLiteral("http"));
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

    // A click in the page lets out the link it lands on, once, and never a timer's address.
    void oneClickOpensItsLinkOnce() {
        QVERIFY(desktop::click(*browser_));
        QTRY_VERIFY_WITH_TIMEOUT(browser_->title().section(QLatin1Char(' '), 1).toInt() >= 20,
                                 20000);
        QCOMPARE(defaultBrowser_.opened, QStringList());

        QVERIFY(openAndSettle(QStringLiteral("/link"), QStringLiteral("tries 5")));
        // Onto the link: the engine names a link under the pointer once the pointer moves.
        QVERIFY(desktop::clickAt(browser_->mapToGlobal(QPoint(60, 60))));
        QTRY_COMPARE_WITH_TIMEOUT(defaultBrowser_.opened, QStringList{away()}, 10000);
        const int tries = browser_->title().section(QLatin1Char(' '), 1).toInt();
        QTRY_VERIFY_WITH_TIMEOUT(
            browser_->title().section(QLatin1Char(' '), 1).toInt() >= tries + 15, 20000);
        QCOMPARE(defaultBrowser_.opened, QStringList{away()});
        QCOMPARE(site_.requests("/away"), 0);
    }

    // The program's own box over the page shows the page's words as they are, and neither a
    // click on them nor its OK lets anything out.
    void theBoxOverThePageIsNoWayOut() {
        QWidget window;
        window.setGeometry(520, 80, 400, 300);
        auto* browser = new ui::WebBrowser(&window);
        browser->setSites({site_.host()}, QStringLiteral("http"));
        browser->setGeometry(window.rect());
        window.show();
        browser->openAddress(QUrl(site_.url(QStringLiteral("/box"))));
        QMessageBox* box = nullptr;
        QTRY_VERIFY_WITH_TIMEOUT((box = window.findChild<QMessageBox*>()) != nullptr, 20000);
        QVERIFY(QTest::qWaitForWindowExposed(box));
        auto* words = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
        QCOMPARE(words->text(), QStringLiteral("<a href='%1?box'>CONTINUE</a>").arg(away()));
        QVERIFY(desktop::click(*words));
        QVERIFY(desktop::click(*box->button(QMessageBox::Ok)));
        QTRY_VERIFY_WITH_TIMEOUT(window.findChild<QMessageBox*>() == nullptr, 10000);
        QTRY_VERIFY_WITH_TIMEOUT(browser->title().section(QLatin1Char(' '), 1).toInt() >= 40,
                                 20000);
        QCOMPARE(defaultBrowser_.opened, QStringList{away()});
    }

    // Three dialogs, then silence, however often the page reloads itself; none of them holds the
    // page or the window.
    void dialogsCannotHoldTheWindow() {
        QVERIFY(openAndSettle(QStringLiteral("/alerts")));
        QTRY_COMPARE(site_.requests("/alerts"), 5);
        QVERIFY(QTest::qWaitFor([&] { return browser_->title() == "settled /alerts"; }, 20000));
        int boxes = 0;
        for (QWidget* widget : QApplication::topLevelWidgets())
            boxes += qobject_cast<QMessageBox*>(widget) != nullptr && widget->isVisible();
        QCOMPARE(boxes, 3);
        QCOMPARE(QApplication::activeModalWidget(), nullptr);
    }
};

SORVO_GUI_TEST_MAIN(PageTricksTest)

#include "test_page_tricks.moc"

// The browser keeps to its page: the offline panel while the site cannot be reached, tries by
// the schedule and when the network returns, and reloads after renderer crashes up to the limit.
#include "browser/page_keeper.h"
#include "site_server.h"
#include "support/event_rounds.h"
#include "support/gui_test_main.h"

#include <QApplication>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QWebEngineLoadingInfo>
#include <QWebEnginePage>
#include <QWebEngineView>
#include <atomic>
#include <csignal>
#include <memory>

using namespace sorvo::browser;
using namespace std::chrono_literals;

namespace {

const QString unreachableHeadline = QStringLiteral("无法连接到索沃电台");
constexpr QRgb backdrop = qRgb(24, 24, 28);

// A window with a browser view and its keeper; the view may be larger than the window.
struct Browser {
    QWidget window;
    QWebEngineView* view;
    PageKeeper keeper;

    explicit Browser(KeeperTiming timing, QSize windowSize = {480, 320},
                     QRect viewRect = {0, 0, 480, 320})
        : view(new QWebEngineView(&window)), keeper(*view, std::move(timing)) {
        window.setGeometry(QRect(QPoint(60, 60), windowSize));
        view->setGeometry(viewRect);
        window.show();
    }

    QWidget* panel() const { return view->findChild<QWidget*>(QStringLiteral("offlinePanel")); }
    bool panelShown() const { return panel()->isVisible(); }
    QString text(const char* part) const {
        return panel()->findChild<QLabel*>(QLatin1String(part))->text();
    }
    QPushButton* retryButton() const {
        return panel()->findChild<QPushButton*>(QStringLiteral("offlineRetry"));
    }
    qint64 rendererPid() const { return view->page()->renderProcessPid(); }
};

KeeperTiming quickRetries(std::chrono::milliseconds every) {
    return {.schedule = RetrySchedule({every})};
}

// Clicks through the display server, as the listener would, once nothing covers the widget.
void clickOn(QWidget* widget) {
    const QPoint centre = widget->mapToGlobal(widget->rect().center());
    QVERIFY(QTest::qWaitForWindowActive(widget->window()));
    QTRY_COMPARE_WITH_TIMEOUT(QApplication::widgetAt(centre), widget, 5000);
    QProcess::execute(QStringLiteral("xdotool"),
                      {QStringLiteral("mousemove"), QString::number(centre.x()),
                       QString::number(centre.y()), QStringLiteral("click"), QStringLiteral("1")});
}

QRgb screenPixel(const Browser& browser, QPoint inWindow) {
    return browser.window.screen()
        ->grabWindow(browser.window.winId(), inWindow.x(), inWindow.y(), 1, 1)
        .toImage()
        .pixel(0, 0);
}

// Where a part of the panel lies in the window's coordinates.
QRect inWindow(QWidget* part) {
    return QRect(part->mapTo(part->window(), QPoint(0, 0)), part->size());
}

} // namespace

class PageKeeperTest : public QObject {
    Q_OBJECT
  private slots:
    // Down at first: the panel counts down from the first delay of the schedule; once the
    // server is back the next try shows the page, without anybody doing anything.
    void thePageComesBackWithItsServer() {
        SiteServer site;
        site.page("/radio", "radio");
        site.stop();
        Browser browser({});
        browser.view->load(site.url(QStringLiteral("/radio")));
        QTRY_VERIFY_WITH_TIMEOUT(browser.panelShown(), 15000);
        QCOMPARE(browser.text("offlineHeadline"), unreachableHeadline);
        const QString countdown = browser.text("offlineStatus");
        QVERIFY2(countdown == QStringLiteral("2 秒后重试") ||
                     countdown == QStringLiteral("1 秒后重试"),
                 qPrintable(countdown));

        site.start();
        QTRY_COMPARE_WITH_TIMEOUT(browser.view->title(), QStringLiteral("radio"), 15000);
        QTRY_VERIFY_WITH_TIMEOUT(!browser.panelShown(), 5000);
    }

    // A server error is retried until the page comes; a page the server does not have is its
    // answer, shown as it is and not asked for again.
    void serverErrorsAreRetriedAndMissingPagesAreNot() {
        SiteServer site;
        std::atomic<int> busy = 2;
        site.route("/busy", [&busy](const httplib::Request&, httplib::Response& response) {
            if (busy-- > 0) {
                response.status = 503;
                response.set_content(SiteServer::titled("busy"), "text/html");
                return;
            }
            response.set_content(SiteServer::titled("ready"), "text/html");
        });
        Browser browser(quickRetries(100ms));
        browser.view->load(site.url(QStringLiteral("/busy")));
        QTRY_COMPARE_WITH_TIMEOUT(browser.view->title(), QStringLiteral("ready"), 15000);
        QTRY_VERIFY_WITH_TIMEOUT(!browser.panelShown(), 5000);
        QCOMPARE(site.requests("/busy"), 3);

        // Connected after the keeper, so the keeper has had the load's end before this runs:
        // had it taken the 404 for an unreachable site, its panel would be up with a try due.
        bool ended = false;
        QObject context;
        connect(browser.view->page(), &QWebEnginePage::loadingChanged, &context,
                [&ended](const QWebEngineLoadingInfo& info) {
                    ended = info.status() != QWebEngineLoadingInfo::LoadStartedStatus;
                });
        browser.view->load(site.url(QStringLiteral("/missing")));
        QTRY_COMPARE_WITH_TIMEOUT(browser.view->title(), QStringLiteral("not found"), 15000);
        QTRY_VERIFY_WITH_TIMEOUT(ended, 15000);
        QCOMPARE(site.requests("/missing"), 1);
        QVERIFY(!browser.panelShown());
    }

    // A server that takes the connection but never answers is no better than none.
    void aServerThatNeverAnswersCountsAsUnreachable() {
        SiteServer site;
        std::atomic<bool> stalling = true;
        site.route("/slow", [&stalling](const httplib::Request&, httplib::Response& response) {
            for (int waited = 0; stalling && waited < 1000; ++waited)
                std::this_thread::sleep_for(10ms);
            response.set_content(SiteServer::titled("slow"), "text/html");
        });
        KeeperTiming timing = quickRetries(200ms);
        timing.answerTime = 500ms;
        Browser browser(std::move(timing));
        browser.view->load(site.url(QStringLiteral("/slow")));
        QTRY_VERIFY_WITH_TIMEOUT(browser.panelShown(), 5000);
        QCOMPARE(browser.text("offlineHeadline"), unreachableHeadline);
        stalling = false;
        QTRY_COMPARE_WITH_TIMEOUT(browser.view->title(), QStringLiteral("slow"), 15000);
        QTRY_VERIFY_WITH_TIMEOUT(!browser.panelShown(), 5000);
    }

    // The next try would be a minute away; the network's return brings it forward.
    void theNetworksReturnTriesAtOnce() {
        SiteServer site;
        site.page("/radio", "radio");
        site.stop();
        Browser browser(quickRetries(60s));
        browser.view->load(site.url(QStringLiteral("/radio")));
        QTRY_VERIFY_WITH_TIMEOUT(browser.panelShown(), 15000);
        QCOMPARE(browser.text("offlineStatus"), QStringLiteral("60 秒后重试"));
        site.start();
        browser.keeper.onNetworkBack();
        QTRY_COMPARE_WITH_TIMEOUT(browser.view->title(), QStringLiteral("radio"), 15000);
        QTRY_VERIFY_WITH_TIMEOUT(!browser.panelShown(), 5000);
    }

    // Three renderer deaths within a minute reload the page; the fourth leaves the panel with a
    // button, and a click on it brings the page back. Each renderer dies only once its page has
    // loaded: one killed while a load is under way may be replaced by the engine itself, and
    // the page then comes back without the keeper.
    void aDyingRendererIsReplacedThreeTimesAMinute() {
        SiteServer site;
        site.page("/radio", "radio");
        Browser browser({});
        browser.view->load(site.url(QStringLiteral("/radio")));
        QTRY_COMPARE_WITH_TIMEOUT(browser.view->title(), QStringLiteral("radio"), 15000);
        QTRY_VERIFY_WITH_TIMEOUT(!browser.view->page()->isLoading(), 15000);
        for (int reloads = 1; reloads <= 3; ++reloads) {
            const qint64 renderer = browser.rendererPid();
            QVERIFY(renderer > 0);
            ::kill(static_cast<pid_t>(renderer), SIGKILL);
            QTRY_COMPARE_WITH_TIMEOUT(site.requests("/radio"), 1 + reloads, 15000);
            QTRY_VERIFY_WITH_TIMEOUT(browser.rendererPid() > 0 && browser.rendererPid() != renderer,
                                     15000);
            QTRY_COMPARE_WITH_TIMEOUT(browser.view->title(), QStringLiteral("radio"), 15000);
            QTRY_VERIFY_WITH_TIMEOUT(!browser.view->page()->isLoading(), 15000);
            QTRY_VERIFY_WITH_TIMEOUT(!browser.panelShown(), 5000);
        }

        ::kill(static_cast<pid_t>(browser.rendererPid()), SIGKILL);
        QTRY_VERIFY_WITH_TIMEOUT(browser.panelShown(), 15000);
        QCOMPARE(browser.text("offlineHeadline"), QStringLiteral("索沃电台页面意外退出"));
        QCOMPARE(browser.retryButton()->text(), QStringLiteral("重新载入"));
        // The panel came from the keeper's handling of the death, which starts no timer.
        QVERIFY(queuedWorkRan());
        QCOMPARE(site.requests("/radio"), 4);

        clickOn(browser.retryButton());
        QTRY_COMPARE_WITH_TIMEOUT(site.requests("/radio"), 5, 15000);
        QTRY_VERIFY_WITH_TIMEOUT(!browser.panelShown(), 15000);
        QTRY_COMPARE_WITH_TIMEOUT(browser.view->title(), QStringLiteral("radio"), 15000);
    }

    // The main window shows only the middle of its browser (columns 121 to 1080, below the
    // band); the update window's browser is 350 by 80. The panel's content lies in the part
    // shown, whole, and covers the page that was there before.
    void thePanelFitsTheShownPartOfTheBrowser_data() {
        QTest::addColumn<QSize>("windowSize");
        QTest::addColumn<QRect>("viewRect");
        QTest::addColumn<QRect>("shown");
        QTest::newRow("main window")
            << QSize(960, 440) << QRect(-121, 24, 1200, 450) << QRect(0, 41, 960, 399);
        QTest::newRow("update window")
            << QSize(376, 100) << QRect(13, 16, 350, 80) << QRect(13, 16, 350, 80);
    }
    void thePanelFitsTheShownPartOfTheBrowser() {
        QFETCH(QSize, windowSize);
        QFETCH(QRect, viewRect);
        QFETCH(QRect, shown);
        SiteServer site;
        site.route("/white", [](const httplib::Request&, httplib::Response& response) {
            response.set_content("<title>white</title><body style='background:#fff'>", "text/html");
        });
        Browser browser(quickRetries(60s), windowSize, viewRect);
        browser.view->load(site.url(QStringLiteral("/white")));
        QTRY_COMPARE_WITH_TIMEOUT(browser.view->title(), QStringLiteral("white"), 15000);
        QTRY_COMPARE_WITH_TIMEOUT(screenPixel(browser, shown.center()), qRgb(255, 255, 255), 15000);
        site.stop();
        browser.view->load(site.url(QStringLiteral("/radio")));
        QTRY_VERIFY_WITH_TIMEOUT(browser.panelShown(), 15000);

        const QList<QWidget*> parts = browser.panel()->findChildren<QWidget*>();
        QCOMPARE(parts.size(), 4); // mark, headline, status, button
        for (QWidget* part : parts) {
            QVERIFY2(shown.contains(inWindow(part)), qPrintable(part->objectName()));
            QVERIFY(part->width() >= part->sizeHint().width());
            for (QWidget* other : parts)
                QVERIFY(other == part || !inWindow(other).intersects(inWindow(part)));
        }
        for (const QPoint corner :
             {shown.topLeft() + QPoint(2, 2), shown.topRight() + QPoint(-2, 2),
              shown.bottomLeft() + QPoint(2, -2), shown.bottomRight() + QPoint(-2, -2)})
            QTRY_COMPARE_WITH_TIMEOUT(screenPixel(browser, corner), backdrop, 5000);
    }
};

SORVO_GUI_TEST_MAIN(PageKeeperTest)

#include "test_page_keeper.moc"

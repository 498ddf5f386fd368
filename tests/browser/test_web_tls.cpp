// Pages over https show only with a certificate the browser engine trusts, and the engine
// trusts what the user's certificate store trusts: here a private home whose store holds one
// test authority. A certificate from an authority nobody trusts is refused with no way around
// it: the server never sees a request and the offline panel stands in for the page.
#include "browser/site_server.h"
#include "support/gui_test_main.h"
#include "support/test_authority.h"
#include "ui/framework/web_browser.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <optional>

using namespace sorvo;

class WebTlsTest : public QObject {
    Q_OBJECT

  private:
    QTemporaryDir home_;
    std::optional<TestAuthority> trusted_;
    std::optional<TestAuthority> unknown_;
    QWidget window_;

    ui::WebBrowser* openBrowser(const QUrl& address) {
        auto* browser = new ui::WebBrowser(&window_);
        browser->setGeometry(0, 0, 480, 320);
        browser->show();
        browser->openAddress(address);
        return browser;
    }

  private slots:
    void initTestCase() {
        // The engine reads the store when it starts, with the first page.
        qputenv("HOME", home_.path().toUtf8());
        trusted_.emplace(home_.path().toStdString(), "trusted");
        unknown_.emplace(home_.path().toStdString(), "unknown");
        QVERIFY(trusted_->made && unknown_->made);
        const QString store = home_.filePath(QStringLiteral(".pki/nssdb"));
        QVERIFY(QDir().mkpath(store));
        const QString database = QStringLiteral("sql:") + store;
        QCOMPARE(QProcess::execute(QStringLiteral("certutil"),
                                   {QStringLiteral("-d"), database, QStringLiteral("-N"),
                                    QStringLiteral("--empty-password")}),
                 0);
        QCOMPARE(QProcess::execute(
                     QStringLiteral("certutil"),
                     {QStringLiteral("-d"), database, QStringLiteral("-A"), QStringLiteral("-t"),
                      QStringLiteral("C,,"), QStringLiteral("-n"), QStringLiteral("sorvo tests"),
                      QStringLiteral("-i"), QString::fromStdString(trusted_->certificate)}),
                 0);
        window_.setGeometry(80, 80, 480, 320);
        window_.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window_));
    }

    void aTrustedCertificateShowsThePage() {
        SiteServer site(trusted_->serverCertificate, trusted_->serverKey);
        site.page("/radio", "trusted");
        ui::WebBrowser* browser = openBrowser(QUrl(site.url(QStringLiteral("/radio"))));
        QTRY_COMPARE_WITH_TIMEOUT(browser->title(), QStringLiteral("trusted"), 30000);
        QCOMPARE(site.requests("/radio"), 1);
        delete browser;
    }

    void aCertificateFromAnUnknownAuthorityIsRefused() {
        SiteServer site(unknown_->serverCertificate, unknown_->serverKey);
        site.page("/radio", "unknown");
        ui::WebBrowser* browser = openBrowser(QUrl(site.url(QStringLiteral("/radio"))));
        auto* panel = browser->findChild<QWidget*>(QStringLiteral("offlinePanel"));
        QTRY_VERIFY_WITH_TIMEOUT(panel != nullptr && panel->isVisible(), 30000);
        QCOMPARE(site.requests("/radio"), 0);
        QVERIFY(browser->title() != QStringLiteral("unknown"));
        delete browser;
    }
};

SORVO_GUI_TEST_MAIN(WebTlsTest)

#include "test_web_tls.moc"

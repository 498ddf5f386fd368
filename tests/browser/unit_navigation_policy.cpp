#include "browser/navigation_policy.h"

#include <QTest>

using namespace sorvo::browser;

Q_DECLARE_METATYPE(sorvo::browser::Verdict)

namespace {
const NavigationPolicy policy({QStringLiteral("www.sorvo.example"),
                               QStringLiteral("127.0.0.1:8765")});
} // namespace

class NavigationPolicyTest : public QObject {
    Q_OBJECT
  private slots:
    void mainFrame_data() {
        QTest::addColumn<QString>("address");
        QTest::addColumn<bool>("byProgram");
        QTest::addColumn<Verdict>("verdict");
        const auto row = [](const char* name, const char* address, bool byProgram, Verdict v) {
            QTest::newRow(name) << QString::fromLatin1(address) << byProgram << v;
        };
        row("site", "http://www.sorvo.example/diantai/", false, Verdict::Show);
        row("site over https", "https://www.sorvo.example/", false, Verdict::Show);
        row("host in capitals", "http://WWW.Sorvo.Example/", false, Verdict::Show);
        row("site on another port", "http://www.sorvo.example:8080/", false,
            Verdict::OpenElsewhere);
        row("site with its port", "http://127.0.0.1:8765/x", false, Verdict::Show);
        row("same address, other port", "http://127.0.0.1:8766/x", false, Verdict::OpenElsewhere);
        row("a sub-domain is another host", "http://evil.www.sorvo.example/", false,
            Verdict::OpenElsewhere);
        row("a longer name is another host", "http://www.sorvo.example.evil/", false,
            Verdict::OpenElsewhere);
        row("elsewhere", "https://example.org/", false, Verdict::OpenElsewhere);
        row("the program's own load", "http://127.0.0.2:1/", true, Verdict::Show);
        row("file share", "smb://127.0.0.1/share/installer", false, Verdict::Refuse);
        row("file share, even by the program", "smb://127.0.0.1/share", true, Verdict::Refuse);
        row("local file", "file:///etc/passwd", false, Verdict::Refuse);
        row("mail", "mailto:someone@example.org", false, Verdict::Refuse);
        row("made-up scheme", "sorvo-player:play", false, Verdict::Refuse);
        row("data", "data:text/html,hi", false, Verdict::Refuse);
    }
    void mainFrame() {
        QFETCH(QString, address);
        QFETCH(bool, byProgram);
        QFETCH(Verdict, verdict);
        QCOMPARE(policy.forNavigation(QUrl(address), true, byProgram), verdict);
    }

    // Frames inside the page may show what they like from the web, and blank or page-made
    // content, but other kinds of address go nowhere.
    // In an https build plain http on the site's own host is as good as elsewhere.
    void httpsSiteRefusesHttp() {
        const NavigationPolicy secure({QStringLiteral("www.sorvo.example")},
                                      QStringLiteral("https"));
        QCOMPARE(
            secure.forNavigation(QUrl(QStringLiteral("https://www.sorvo.example/")), true, false),
            Verdict::Show);
        QCOMPARE(
            secure.forNavigation(QUrl(QStringLiteral("http://www.sorvo.example/")), true, false),
            Verdict::OpenElsewhere);
    }

    void framesInsideThePage() {
        for (const char* shown : {"https://player.example.org/embed", "about:blank",
                                  "data:text/html,hi", "blob:http://www.sorvo.example/1"})
            QCOMPARE(policy.forNavigation(QUrl(QString::fromLatin1(shown)), false, false),
                     Verdict::Show);
        for (const char* refused : {"smb://127.0.0.1/share", "file:///etc/passwd", "mailto:x@y"})
            QCOMPARE(policy.forNavigation(QUrl(QString::fromLatin1(refused)), false, false),
                     Verdict::Refuse);
    }

    // New windows and downloads leave for the default browser when they are web addresses,
    // the site's own included.
    void windowsAndDownloadsElsewhere() {
        QCOMPARE(policy.forElsewhere(QUrl(QStringLiteral("http://www.sorvo.example/popup"))),
                 Verdict::OpenElsewhere);
        QCOMPARE(policy.forElsewhere(QUrl(QStringLiteral("https://example.org/file.zip"))),
                 Verdict::OpenElsewhere);
        QCOMPARE(policy.forElsewhere(QUrl(QStringLiteral("smb://127.0.0.1/share"))),
                 Verdict::Refuse);
        QCOMPARE(policy.forElsewhere(QUrl(QStringLiteral("about:blank"))), Verdict::Refuse);
    }

    // Empty or broken host settings match nothing.
    void badHostSettingsMatchNothing() {
        const NavigationPolicy none({QString(), QStringLiteral("::")});
        QVERIFY(!none.isOnSite(QUrl(QStringLiteral("http://localhost/"))));
        QVERIFY(!none.isOnSite(QUrl(QStringLiteral("http:///path"))));
    }
};

QTEST_APPLESS_MAIN(NavigationPolicyTest)
#include "unit_navigation_policy.moc"

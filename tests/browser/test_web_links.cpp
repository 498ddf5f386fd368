// A page in the embedded browser stays on its site. Links and windows to anywhere else, and
// downloads, go to the default browser (a recorder here); other kinds of address go nowhere,
// with or without a click; requests for devices, the location, notifications, the screen and
// the clipboard are denied, while sound still plays without a click. Clicks go through the
// display server.
#include "browser/site_server.h"
#include "support/default_browser.h"
#include "support/gui_test_main.h"
#include "ui/framework/web_browser.h"

#include <QDirIterator>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <cstdint>

using namespace sorvo;

namespace {

// Each box is a link or a button 160 x 30 at (20, top) of the page. Addresses elsewhere are
// filled in by sitePage().
const char* const sitePageText = R"HTML(<!doctype html>
<html><head><meta charset="utf-8"><style>
  body { margin: 0; background: #202024 }
  .box { position: absolute; left: 20px; width: 160px; height: 30px; display: block; padding: 0;
         border: 0; background: #555; color: #fff; font: 14px sans-serif }
</style></head><body>
<a class="box" style="top: 10px" href="HTTP_ELSEWHERE/elsewhere">elsewhere</a>
<a class="box" style="top: 50px" href="/popup" target="_blank">new window</a>
<button class="box" style="top: 90px" onclick="window.open('HTTPS_ELSEWHERE/opened')">open</button>
<a class="box" style="top: 130px" href="SHARE/installer">file share</a>
<a class="box" style="top: 170px" href="/package.bin">download</a>
<button class="box" style="top: 210px" onclick="askForEverything()">ask</button>
<a class="box" style="top: 250px" href="/second">second page</a>
<audio id="tone" src="/tone.wav" autoplay loop></audio>
<script>
  const answers = {};
  function note(name, value) { answers[name] = value; document.title = JSON.stringify(answers); }
  tone.addEventListener('playing', () => note('sound', 'playing'));
  function askForEverything() {
    navigator.geolocation.getCurrentPosition(() => note('location', 'granted'),
                                             e => note('location', 'denied ' + e.code));
    Notification.requestPermission().then(answer => note('notifications', answer));
    navigator.mediaDevices.getUserMedia({audio: true, video: true})
      .then(() => note('devices', 'granted'), e => note('devices', e.name));
    navigator.mediaDevices.getDisplayMedia({video: true})
      .then(() => note('screen', 'granted'), e => note('screen', e.name));
    navigator.clipboard.readText().then(() => note('clipboard', 'granted'), e => note('clipboard', e.name));
  }
  /* Without a click: a window elsewhere and an address of another kind. */
  setTimeout(() => {
    window.open('HTTP_ELSEWHERE/unasked');
    location.href = 'SHARE/unasked';
    note('scripted', 'done');
  }, 100);
</script></body></html>)HTML";

std::string sitePage() {
    std::string page = sitePageText;
    for (const auto& [placeholder, address] : {std::pair{"HTTP_ELSEWHERE", "http://127.0.0.2:1234"},
                                               {"HTTPS_ELSEWHERE", "https://127.0.0.2:1234"},
                                               {"SHARE", "smb://127.0.0.1/share"}}) {
        for (auto at = page.find(placeholder); at != std::string::npos; at = page.find(placeholder))
            page.replace(at, std::string(placeholder).size(), address);
    }
    return page;
}

void putLittleEndian(std::string& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<char>((value >> (8 * i)) & 0xff));
}

// Two seconds of a quiet tone: 8 kHz, 16-bit mono PCM.
std::string toneWav() {
    constexpr std::uint32_t samples = 16000;
    std::string wav = "RIFF";
    putLittleEndian(wav, 36 + samples * 2, 4);
    wav += "WAVEfmt ";
    for (const auto& [value, bytes] :
         {std::pair{16u, 4}, {1u, 2}, {1u, 2}, {8000u, 4}, {16000u, 4}, {2u, 2}, {16u, 2}})
        putLittleEndian(wav, value, bytes);
    wav += "data";
    putLittleEndian(wav, samples * 2, 4);
    for (std::uint32_t i = 0; i < samples; ++i)
        putLittleEndian(wav, (i % 20 < 10) ? 0x0400 : 0xfc00, 2);
    return wav;
}

} // namespace

class WebLinksTest : public QObject {
    Q_OBJECT

  private:
    QTemporaryDir home_;
    SiteServer site_;
    DefaultBrowser defaultBrowser_;
    QWidget window_;
    ui::WebBrowser* browser_ = nullptr;

    QJsonObject answers() const {
        return QJsonDocument::fromJson(browser_->title().toUtf8()).object();
    }
    void clickBox(int top) {
        const QPoint at = browser_->mapToGlobal(QPoint(100, top + 15));
        QProcess::execute(QStringLiteral("xdotool"),
                          {QStringLiteral("mousemove"), QString::number(at.x()),
                           QString::number(at.y()), QStringLiteral("click"), QStringLiteral("1")});
    }
    QString onSite(const QString& path) const { return site_.url(path); }
    void expectStillOnTheFirstPage() const {
        QCOMPARE(browser_->url().toString(), onSite(QStringLiteral("/")));
        QVERIFY(answers().contains(QStringLiteral("scripted")));
    }

  private slots:
    void initTestCase() {
        // Where a download would land if anything wrote one.
        qputenv("HOME", home_.path().toUtf8());
        // A camera and a microphone to ask for: without them the page hears "none" before
        // anybody is asked.
        qputenv("QTWEBENGINE_CHROMIUM_FLAGS",
                qgetenv("QTWEBENGINE_CHROMIUM_FLAGS") + " --use-fake-device-for-media-stream");
        site_.route("/", [](const httplib::Request&, httplib::Response& response) {
            response.set_content(sitePage(), "text/html; charset=utf-8");
        });
        site_.page("/second", "second");
        site_.route("/tone.wav", [](const httplib::Request&, httplib::Response& response) {
            response.set_content(toneWav(), "audio/wav");
        });
        site_.route("/package.bin", [](const httplib::Request&, httplib::Response& response) {
            response.set_header("Content-Disposition", "attachment; filename=package.bin");
            response.set_content(std::string(4096, 'p'), "application/octet-stream");
        });

        window_.setGeometry(80, 80, 480, 320);
        browser_ = new ui::WebBrowser(&window_);
        browser_->setSites({site_.host()}, QStringLiteral("http"));
        browser_->setGeometry(0, 0, 480, 320);
        window_.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window_));
        QSignalSpy loaded(browser_, &ui::WebBrowser::loadFinished);
        browser_->openAddress(QUrl(onSite(QStringLiteral("/"))));
        QVERIFY(loaded.wait(30000));
        QTRY_VERIFY_WITH_TIMEOUT(answers().contains(QStringLiteral("scripted")), 10000);
    }

    // Scripts open no window and reach no other scheme by themselves; the radio's sound plays
    // without a click.
    void withoutAClickNothingLeavesAndSoundPlays() {
        QTRY_COMPARE_WITH_TIMEOUT(answers().value(QStringLiteral("sound")).toString(),
                                  QStringLiteral("playing"), 10000);
        QCOMPARE(defaultBrowser_.opened, QStringList());
        expectStillOnTheFirstPage();
    }

    void linksAndWindowsElsewhereGoToTheDefaultBrowser() {
        defaultBrowser_.opened.clear();
        clickBox(10);
        QTRY_COMPARE_WITH_TIMEOUT(defaultBrowser_.opened,
                                  QStringList{QStringLiteral("http://127.0.0.2:1234/elsewhere")},
                                  10000);
        // A new window leaves even for the site itself: the radio page stays where it is.
        clickBox(50);
        QTRY_COMPARE_WITH_TIMEOUT(defaultBrowser_.opened.size(), 2, 10000);
        QCOMPARE(defaultBrowser_.opened.last(), onSite(QStringLiteral("/popup")));
        clickBox(90);
        QTRY_COMPARE_WITH_TIMEOUT(defaultBrowser_.opened.size(), 3, 10000);
        QCOMPARE(defaultBrowser_.opened.last(), QStringLiteral("https://127.0.0.2:1234/opened"));
        expectStillOnTheFirstPage();
        QCOMPARE(site_.requests("/popup"), 0);
    }

    // The click on the file share comes first; once the later click has arrived, the first
    // has certainly been dealt with.
    void otherSchemesNeverLeaveTheProgram() {
        defaultBrowser_.opened.clear();
        clickBox(130);
        clickBox(10);
        QTRY_COMPARE_WITH_TIMEOUT(defaultBrowser_.opened,
                                  QStringList{QStringLiteral("http://127.0.0.2:1234/elsewhere")},
                                  10000);
        expectStillOnTheFirstPage();
    }

    void downloadsGoToTheDefaultBrowserAndNowhereElse() {
        defaultBrowser_.opened.clear();
        clickBox(170);
        QTRY_COMPARE_WITH_TIMEOUT(defaultBrowser_.opened,
                                  QStringList{onSite(QStringLiteral("/package.bin"))}, 10000);
        QDirIterator files(home_.path(), {QStringLiteral("package*")}, QDir::Files,
                           QDirIterator::Subdirectories);
        QVERIFY2(!files.hasNext(), qPrintable(files.hasNext() ? files.next() : QString()));
        expectStillOnTheFirstPage();
    }

    void requestsForDevicesPlacesAndTheScreenAreDenied() {
        clickBox(210);
        const QJsonObject denied{{QStringLiteral("location"), QStringLiteral("denied 1")},
                                 {QStringLiteral("notifications"), QStringLiteral("denied")},
                                 {QStringLiteral("devices"), QStringLiteral("NotAllowedError")},
                                 {QStringLiteral("screen"), QStringLiteral("NotAllowedError")},
                                 {QStringLiteral("clipboard"), QStringLiteral("NotAllowedError")}};
        QTRY_VERIFY_WITH_TIMEOUT(answers().size() >= 2 + denied.size(), 15000);
        for (auto answer = denied.begin(); answer != denied.end(); ++answer)
            QVERIFY2(answers().value(answer.key()) == answer.value(),
                     qPrintable(answer.key() + QStringLiteral(": ") +
                                answers().value(answer.key()).toString()));
    }

    // Last: the page changes.
    void linksOnTheSiteStayInside() {
        defaultBrowser_.opened.clear();
        clickBox(250);
        QTRY_COMPARE_WITH_TIMEOUT(browser_->title(), QStringLiteral("second"), 10000);
        QCOMPARE(browser_->url().toString(), onSite(QStringLiteral("/second")));
        QCOMPARE(defaultBrowser_.opened, QStringList());
    }
};

SORVO_GUI_TEST_MAIN(WebLinksTest)

#include "test_web_links.moc"

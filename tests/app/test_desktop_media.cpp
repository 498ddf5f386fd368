// The radio page on the desktop's media controls, end to end: the demo service's radio page in
// the main window, the controls on the test's private session bus, and a listener looking at
// them through the bus as the desktop would. What the page does is read back from the page.
#include "app/desktop_media.h"
#include "app/main_window.h"
#include "config/hosts.h"
#include "support/client_child.h"
#include "support/gui_test_main.h"
#include "support/mpris_listener.h"
#include "support/notification_server.h"
#include "support/page_server.h"
#include "support/update_desk.h"
#include "ui/framework/tray_icon.h"
#include "ui/framework/web_browser.h"

#include <QDBusConnectionInterface>
#include <QDBusObjectPath>
#include <QFile>
#include <QProcess>
#include <QWebEnginePage>
#include <QWebEngineView>
#include <memory>
#include <optional>
#include <tuple>
#include <unistd.h>

using namespace sorvo;

namespace {

const QString busName = QStringLiteral("sorvo_radio");
constexpr int pageTimeoutMs = 20000;

QVariantMap metadataOf(const QVariant& value) {
    return value.toMap();
}

QString titleOf(const QVariant& metadata) {
    return metadataOf(metadata).value(QStringLiteral("xesam:title")).toString();
}

// The whole client in a child process on its own bus address, until its main window shows.
// Returns its error output, or why that could not be had, starting with "!".
QString runClientUntilItsWindowShows(const QString& siteHost, const QString& busAddress) {
    QProcess client;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), busAddress);
    client.setProcessEnvironment(environment);
    client.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--client"), siteHost});
    if (!client.waitForStarted()) return QStringLiteral("! the client did not start");
    // Deadlines are generous: on a busy machine a client's start-up takes many times its usual
    // few seconds.
    const bool shown = !clientWindows(client.processId(), 60000).isEmpty();
    // The controls come once the main window is up.
    QString errors;
    const bool said = QTest::qWaitFor(
        [&] {
            errors += QString::fromUtf8(client.readAllStandardError());
            return errors.contains(QStringLiteral("media panel"));
        },
        30000);
    client.kill();
    client.waitForFinished();
    errors += QString::fromUtf8(client.readAllStandardError());
    if (!shown) return QStringLiteral("! the main window did not show");
    if (!said) return QStringLiteral("! nothing said about the media controls:\n") + errors;
    return errors;
}

} // namespace

class DesktopMediaTest : public QObject {
    Q_OBJECT

    QProcess demo_;
    QString demoHost_;
    app::MainWindow* mainWindow_ = nullptr;
    std::unique_ptr<app::DesktopMedia> media_;
    std::unique_ptr<MprisListener> listener_;

    QWebEngineView& view() const {
        return *mainWindow_->radioBrowser().findChild<QWebEngineView*>();
    }

    // The value of `script` in the page, or an invalid value when the page does not answer.
    QVariant evaluate(const QString& script) {
        auto result = std::make_shared<std::optional<QVariant>>();
        view().page()->runJavaScript(script, [result](const QVariant& value) { *result = value; });
        if (!QTest::qWaitFor([&] { return result->has_value(); }, 10000)) return {};
        return **result;
    }

    QVariant audio(const QString& property) {
        return evaluate(QStringLiteral("document.querySelector('audio')[%1]")
                            .arg(QStringLiteral("'") + property + QStringLiteral("'")));
    }

    bool audioPlaysOn() {
        const double before = audio(QStringLiteral("currentTime")).toDouble();
        return QTest::qWaitFor(
            [&] { return audio(QStringLiteral("currentTime")).toDouble() > before + 0.3; },
            pageTimeoutMs);
    }

    // The page's metadata becomes `title`, and the desktop's panel shows it: by then the program
    // has made up its mind about it.
    void putOnAir(const QString& title) {
        evaluate(QStringLiteral("navigator.mediaSession.metadata = new MediaMetadata({title: '%1',"
                                " artist: '华语流行', album: '索沃电台'})")
                     .arg(title));
        QTRY_COMPARE_WITH_TIMEOUT(titleOf(listener_->playerProperty(QStringLiteral("Metadata"))),
                                  title, pageTimeoutMs);
    }

    void setPlaying(bool playing) {
        listener_->callPlayer(playing ? QStringLiteral("Play") : QStringLiteral("Pause"));
        QTRY_COMPARE_WITH_TIMEOUT(
            listener_->playerProperty(QStringLiteral("PlaybackStatus")),
            QVariant(playing ? QStringLiteral("Playing") : QStringLiteral("Paused")),
            pageTimeoutMs);
    }

  private slots:
    void initTestCase() {
        demo_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        demo_.start(QStringLiteral(SORVO_DEMO_SERVICE),
                    {QStringLiteral("--port"), QStringLiteral("0"), QStringLiteral("--parent-pid"),
                     QString::number(getpid())});
        QVERIFY(demo_.waitForReadyRead(10000));
        const QString listening = QString::fromUtf8(demo_.readLine()).trimmed();
        QVERIFY2(listening.startsWith(QStringLiteral("listening on ")), qPrintable(listening));
        demoHost_ = listening.mid(QStringLiteral("listening on ").size());

        hosts().site = demoHost_;
        listener_ = std::make_unique<MprisListener>(busName);
        mainWindow_ = new app::MainWindow(programUpdates().controller);
        mainWindow_->load();
        media_ = std::make_unique<app::DesktopMedia>(*mainWindow_);
        QTRY_COMPARE_WITH_TIMEOUT(listener_->playerProperty(QStringLiteral("PlaybackStatus")),
                                  QVariant(QStringLiteral("Playing")), pageTimeoutMs);
    }

    void cleanupTestCase() {
        demo_.terminate();
        demo_.waitForFinished();
    }

    // With the radio on the air for a while, the bus holds one media player: this program's,
    // tied to its installed desktop entry. The engine's own player stays away.
    void oneEntryNamedForTheProgram() {
        QVERIFY2(audioPlaysOn(), "the page's audio does not advance");
        QCOMPARE(listener_->mediaPlayers(), QStringList{listener_->service()});
        QCOMPARE(listener_->rootProperty(QStringLiteral("Identity")),
                 QVariant(QStringLiteral("索沃电台")));
        const QString entry = listener_->rootProperty(QStringLiteral("DesktopEntry")).toString();
        QVERIFY(QFile::exists(QStringLiteral(SORVO_SOURCE_DIR "/packaging/") + entry +
                              QStringLiteral(".desktop")));
        QCOMPARE(listener_->rootProperty(QStringLiteral("CanRaise")), QVariant(true));
        QCOMPARE(listener_->rootProperty(QStringLiteral("CanQuit")), QVariant(false));
    }

    void playPausePausesAndResumesThePageAudio() {
        QCOMPARE(listener_->callPlayer(QStringLiteral("PlayPause")).type(),
                 QDBusMessage::ReplyMessage);
        QTRY_COMPARE_WITH_TIMEOUT(audio(QStringLiteral("paused")), QVariant(true), pageTimeoutMs);
        QTRY_COMPARE(listener_->playerProperty(QStringLiteral("PlaybackStatus")),
                     QVariant(QStringLiteral("Paused")));

        listener_->callPlayer(QStringLiteral("PlayPause"));
        QTRY_COMPARE_WITH_TIMEOUT(audio(QStringLiteral("paused")), QVariant(false), pageTimeoutMs);
        QVERIFY(audioPlaysOn());
        QTRY_COMPARE(listener_->playerProperty(QStringLiteral("PlaybackStatus")),
                     QVariant(QStringLiteral("Playing")));
    }

    // The listener pauses with the page's own button, and the desktop hears of it.
    void aPauseInThePageIsAnnounced() {
        listener_->changes.clear();
        evaluate(QStringLiteral("document.getElementById('toggle').click()"));
        QTRY_VERIFY_WITH_TIMEOUT(
            listener_->announced(QStringLiteral("PlaybackStatus"), QStringLiteral("Paused")),
            pageTimeoutMs);
        evaluate(QStringLiteral("document.getElementById('toggle').click()"));
        QTRY_VERIFY_WITH_TIMEOUT(
            listener_->announced(QStringLiteral("PlaybackStatus"), QStringLiteral("Playing")),
            pageTimeoutMs);
    }

    void nextAndPreviousChangeTheStationAndItsMetadata() {
        QCOMPARE(listener_->playerProperty(QStringLiteral("CanGoNext")), QVariant(true));
        QCOMPARE(listener_->playerProperty(QStringLiteral("CanGoPrevious")), QVariant(true));
        const QVariantMap first = metadataOf(listener_->playerProperty(QStringLiteral("Metadata")));
        QCOMPARE(first.value(QStringLiteral("xesam:title")),
                 QVariant(QStringLiteral("晨光里的歌")));
        QCOMPARE(first.value(QStringLiteral("xesam:artist")),
                 QVariant(QStringList{QStringLiteral("华语流行")}));
        QCOMPARE(first.value(QStringLiteral("xesam:album")), QVariant(QStringLiteral("索沃电台")));
        QCOMPARE(
            first.value(QStringLiteral("mpris:artUrl")),
            QVariant(QStringLiteral("http://%1/diantai/sorvo/artwork/pop.svg").arg(demoHost_)));

        listener_->changes.clear();
        listener_->callPlayer(QStringLiteral("Next"));
        QTRY_COMPARE_WITH_TIMEOUT(titleOf(listener_->playerProperty(QStringLiteral("Metadata"))),
                                  QStringLiteral("午后的风"), pageTimeoutMs);
        const QVariantMap next = metadataOf(listener_->playerProperty(QStringLiteral("Metadata")));
        QCOMPARE(next.value(QStringLiteral("xesam:artist")),
                 QVariant(QStringList{QStringLiteral("轻音乐")}));
        QVERIFY(next.value(QStringLiteral("mpris:trackid")).value<QDBusObjectPath>() !=
                first.value(QStringLiteral("mpris:trackid")).value<QDBusObjectPath>());
        QVERIFY(listener_->announced(QStringLiteral("Metadata"), next));
        QVERIFY(audio(QStringLiteral("src")).toString().endsWith(QStringLiteral("/light.wav")));
        QCOMPARE(evaluate(QStringLiteral("document.getElementById('programme').textContent")),
                 QVariant(QStringLiteral("午后的风")));
        QVERIFY(audioPlaysOn());

        listener_->callPlayer(QStringLiteral("Previous"));
        QTRY_COMPARE_WITH_TIMEOUT(titleOf(listener_->playerProperty(QStringLiteral("Metadata"))),
                                  QStringLiteral("晨光里的歌"), pageTimeoutMs);
        QVERIFY(audio(QStringLiteral("src")).toString().endsWith(QStringLiteral("/pop.wav")));
    }

    void volumeIsThePageVolume() {
        listener_->setPlayerProperty(QStringLiteral("Volume"), 0.25);
        QTRY_COMPARE_WITH_TIMEOUT(audio(QStringLiteral("volume")), QVariant(0.25), pageTimeoutMs);
        listener_->changes.clear();
        evaluate(QStringLiteral("document.querySelector('audio').volume = 0.6"));
        QTRY_VERIFY_WITH_TIMEOUT(listener_->announced(QStringLiteral("Volume"), 0.6),
                                 pageTimeoutMs);
        QCOMPARE(listener_->playerProperty(QStringLiteral("Volume")), QVariant(0.6));
    }

    // A new piece while the listener listens with the window away is told, each notice in the
    // last one's place and not two within ten seconds; nothing while the window is in front or
    // the radio is paused. The tray icon's tooltip names what plays.
    void theNextPieceIsToldWhileTheListenerIsAway() {
        NotificationServer server;
        mainWindow_->bringToFront();
        QTRY_VERIFY(mainWindow_->isActiveWindow());
        putOnAir(QStringLiteral("第一首"));
        QVERIFY(mainWindow_->trayIcon()->tooltip().endsWith(QStringLiteral("\n正在播放：第一首")));

        mainWindow_->hide();
        setPlaying(false);
        QCOMPARE(mainWindow_->trayIcon()->tooltip(),
                 QStringLiteral("中国首款320kbps高音质在线电台收听"));
        putOnAir(QStringLiteral("暂停时"));
        setPlaying(true);
        putOnAir(QStringLiteral("第二首"));
        QTRY_COMPARE_WITH_TIMEOUT(server.notices.size(), 1, pageTimeoutMs);
        const NotificationServer::Notice first = server.notices.first();
        QCOMPARE(first.summary, QStringLiteral("第二首"));
        QCOMPARE(first.body, QStringLiteral("华语流行 · 索沃电台"));
        QCOMPARE(first.appName, QStringLiteral("索沃电台"));
        QCOMPARE(first.replacesId, 0u);
        QCOMPARE(first.hints.value(QStringLiteral("desktop-entry")),
                 listener_->rootProperty(QStringLiteral("DesktopEntry")));
        QVERIFY(first.hints.contains(QStringLiteral("image-data")));

        putOnAir(QStringLiteral("第三首"));
        QCOMPARE(server.notices.size(), 1);
        QTRY_COMPARE_WITH_TIMEOUT(server.notices.size(), 2, 3 * pageTimeoutMs);
        QCOMPARE(server.notices.last().summary, QStringLiteral("第三首"));
        QCOMPARE(server.notices.last().replacesId, 41u);
        mainWindow_->bringToFront();
    }

    // Whatever the page puts in its metadata, the desktop gets one bounded line of it, and the
    // player keeps answering.
    void pageTextReachesTheDesktopBoundedAndClean() {
        evaluate(QStringLiteral("navigator.mediaSession.metadata = new MediaMetadata({title: "
                                "'A\\nB\\u202e\\u001b[31m' + 'x'.repeat(1 << 25)})"));
        QString title;
        QTRY_VERIFY_WITH_TIMEOUT(
            (title = titleOf(listener_->playerProperty(QStringLiteral("Metadata"))))
                .startsWith(QStringLiteral("A B [31mx")),
            pageTimeoutMs);
        QVERIFY(title.size() <= 1024);
        setPlaying(false);
        QCOMPARE(audio(QStringLiteral("paused")), QVariant(true));
        setPlaying(true);
    }

    // Hidden with the tray icon's toggle, the window comes back on Raise; the toggle's state stays
    // as "打开索沃电台" leaves it.
    void raiseShowsTheHiddenMainWindow() {
        mainWindow_->onMainWindowTrayEvent(ui::TrayActivation::DoubleClick);
        mainWindow_->onMainWindowTrayEvent(ui::TrayActivation::DoubleClick);
        QTRY_VERIFY(!mainWindow_->isVisible());
        QCOMPARE(mainWindow_->trayToggleState(), 0);

        listener_->call(MprisListener::rootInterface, QStringLiteral("Raise"));
        QTRY_VERIFY(mainWindow_->isVisible());
        QVERIFY(QTest::qWaitForWindowExposed(mainWindow_));
        QCOMPARE(mainWindow_->trayToggleState(), 0);
    }

    // A page that knows nothing of the Media Session: its audio element, in the document or kept
    // out of it, still plays and pauses from the desktop, under the page's own title.
    void aBareAudioElementStillPlaysAndPauses() {
        const QString stream =
            QStringLiteral("http://%1/diantai/sorvo/channel/piano.wav").arg(demoHost_);
        PageServer pages;
        pages.server().set_pre_routing_handler([stream](const httplib::Request& request,
                                                        httplib::Response& response) {
            const QString body =
                request.path == "/element"
                    ? QStringLiteral(
                          "<title>只有音频</title><audio src='%1' autoplay loop></audio>")
                    : QStringLiteral("<title>页外音频</title><script>const kept = new Audio('%1');"
                                     "kept.loop = true; kept.play().catch(() => {});</script>");
            response.set_content(body.arg(stream).toStdString(), "text/html; charset=utf-8");
            return httplib::Server::HandlerResponse::Handled;
        });

        for (const auto& [path, title, element] :
             {std::tuple{QStringLiteral("/element"), QStringLiteral("只有音频"),
                         QStringLiteral("document.querySelector('audio')")},
              std::tuple{QStringLiteral("/kept"), QStringLiteral("页外音频"),
                         QStringLiteral("kept")}}) {
            mainWindow_->radioBrowser().openAddress(
                QUrl(QStringLiteral("http://%1%2").arg(pages.host(), path)));
            QTRY_COMPARE_WITH_TIMEOUT(
                titleOf(listener_->playerProperty(QStringLiteral("Metadata"))), title,
                pageTimeoutMs);
            QTRY_COMPARE_WITH_TIMEOUT(listener_->playerProperty(QStringLiteral("PlaybackStatus")),
                                      QVariant(QStringLiteral("Playing")), pageTimeoutMs);
            QCOMPARE(listener_->playerProperty(QStringLiteral("CanGoNext")), QVariant(false));
            QCOMPARE(listener_->playerProperty(QStringLiteral("CanPause")), QVariant(true));

            listener_->callPlayer(QStringLiteral("PlayPause"));
            QTRY_COMPARE_WITH_TIMEOUT(evaluate(element + QStringLiteral(".paused")), QVariant(true),
                                      pageTimeoutMs);
            QTRY_COMPARE(listener_->playerProperty(QStringLiteral("PlaybackStatus")),
                         QVariant(QStringLiteral("Paused")));
            listener_->callPlayer(QStringLiteral("PlayPause"));
            QTRY_COMPARE_WITH_TIMEOUT(evaluate(element + QStringLiteral(".paused")),
                                      QVariant(false), pageTimeoutMs);
            listener_->callPlayer(QStringLiteral("Stop"));
            QTRY_COMPARE(listener_->playerProperty(QStringLiteral("PlaybackStatus")),
                         QVariant(QStringLiteral("Stopped")));
            QCOMPARE(evaluate(element + QStringLiteral(".paused")), QVariant(true));
        }
    }

    // Without a session bus, or with the name taken, the client runs as before and says so in
    // one line.
    void withoutTheControlsTheClientRunsAsBefore() {
        const QString noBus =
            runClientUntilItsWindowShows(demoHost_, QStringLiteral("unix:path=/nonexistent"));
        QVERIFY2(!noBus.startsWith('!'), qPrintable(noBus));
        QCOMPARE(noBus.count(QStringLiteral("media panel")), 1);
        QVERIFY2(noBus.contains(QStringLiteral("are off: no session bus.\n")), qPrintable(noBus));

        // This process holds the name: the test's main window is on the air.
        const QString taken = runClientUntilItsWindowShows(
            demoHost_, qEnvironmentVariable("DBUS_SESSION_BUS_ADDRESS"));
        QVERIFY2(!taken.startsWith('!'), qPrintable(taken));
        QCOMPARE(taken.count(QStringLiteral("media panel")), 1);
        QVERIFY2(taken.contains(listener_->service() + QStringLiteral(" is taken.\n")),
                 qPrintable(taken));
    }
};

SORVO_CLIENT_TEST_MAIN(DesktopMediaTest)

#include "test_desktop_media.moc"

// Runs on a private session bus (dbus-run-session). The controls use the process's own session
// bus connection; the listener looks at them through the bus.
#include "platform/media_controls.h"
#include "support/mpris_listener.h"

#include <QDBusConnectionInterface>
#include <QDBusObjectPath>
#include <QSignalSpy>
#include <QTest>

using namespace sorvo::platform;

namespace {

MediaIdentity identity(const QString& busName) {
    return {QStringLiteral("索沃电台"), QStringLiteral("example.sorvo.Radio"), busName};
}

MediaState station(const QString& title, Playback playback = Playback::Playing) {
    MediaState state;
    state.playback = playback;
    state.title = title;
    state.artists = {QStringLiteral("华语流行")};
    state.album = QStringLiteral("索沃电台");
    state.artUrl = QUrl(QStringLiteral("http://127.0.0.1/pop.svg"));
    state.volume = 0.8;
    state.canPlay = state.canPause = state.canGoNext = state.canGoPrevious = true;
    return state;
}

QDBusObjectPath trackOf(const QVariantMap& metadata) {
    return metadata.value(QStringLiteral("mpris:trackid")).value<QDBusObjectPath>();
}

} // namespace

class MprisControlsTest : public QObject {
    Q_OBJECT
  private slots:
    // The root names the player for the desktop. A name or object path held already leaves the
    // controls off, and the holder untouched.
    void theRootNamesThePlayerAndATakenNameLeavesThemOff() {
        QObject owner;
        MprisListener first(QStringLiteral("first"));
        MediaControls* controls = createMediaControls(identity(QStringLiteral("first")), &owner);
        QVERIFY(controls != nullptr);
        QCOMPARE(first.mediaPlayers(), QStringList{first.service()});
        QCOMPARE(first.rootProperty(QStringLiteral("Identity")),
                 QVariant(QStringLiteral("索沃电台")));

        // This connection has the object path already: the second set fails, and going it must
        // not take the first one's object along.
        QVERIFY(createMediaControls(identity(QStringLiteral("second")), &owner) == nullptr);
        QCOMPARE(first.mediaPlayers(), QStringList{first.service()});
        QCOMPARE(first.rootProperty(QStringLiteral("Identity")),
                 QVariant(QStringLiteral("索沃电台")));

        delete controls;
        QCOMPARE(first.mediaPlayers(), QStringList());
        MprisListener taken(QStringLiteral("taken"));
        QCOMPARE(taken.connection().interface()->registerService(taken.service()).value(),
                 QDBusConnectionInterface::ServiceRegistered);
        QVERIFY(createMediaControls(identity(QStringLiteral("taken")), &owner) == nullptr);
        // Nothing of the failed attempt stays behind: the next free name works.
        QVERIFY(createMediaControls(identity(QStringLiteral("third")), &owner) != nullptr);
    }

    // Each show() announces exactly the player properties that changed. A new title, artist,
    // album or picture is a new track; a change of playback or volume is not.
    void showAnnouncesWhatChanged() {
        QObject owner;
        MprisListener listener(QStringLiteral("shown"));
        QSignalSpy announced(&listener, &MprisListener::propertiesAnnounced);
        MediaControls* controls = createMediaControls(identity(QStringLiteral("shown")), &owner);
        QVERIFY(controls != nullptr);

        controls->show(station(QStringLiteral("晨光里的歌")));
        QVERIFY(announced.wait());
        const QVariantMap first = listener.changes.takeFirst();
        QCOMPARE(first.value(QStringLiteral("PlaybackStatus")),
                 QVariant(QStringLiteral("Playing")));
        QCOMPARE(first.value(QStringLiteral("Volume")), QVariant(0.8));
        QCOMPARE(first.value(QStringLiteral("CanGoNext")), QVariant(true));
        QCOMPARE(first.value(QStringLiteral("CanGoPrevious")), QVariant(true));
        const QVariantMap metadata = first.value(QStringLiteral("Metadata")).toMap();
        QCOMPARE(metadata.value(QStringLiteral("xesam:title")),
                 QVariant(QStringLiteral("晨光里的歌")));
        QCOMPARE(metadata.value(QStringLiteral("xesam:artist")),
                 QVariant(QStringList{QStringLiteral("华语流行")}));
        QCOMPARE(metadata.value(QStringLiteral("xesam:album")),
                 QVariant(QStringLiteral("索沃电台")));
        QCOMPARE(metadata.value(QStringLiteral("mpris:artUrl")),
                 QVariant(QStringLiteral("http://127.0.0.1/pop.svg")));
        QVERIFY(!trackOf(metadata).path().isEmpty());
        QCOMPARE(listener.playerProperty(QStringLiteral("Metadata")), QVariant(metadata));

        // The same state again says nothing: the next announcement holds only the pause.
        controls->show(station(QStringLiteral("晨光里的歌")));
        controls->show(station(QStringLiteral("晨光里的歌"), Playback::Paused));
        QVERIFY(announced.wait());
        QCOMPARE(listener.changes.takeFirst(),
                 (QVariantMap{{QStringLiteral("PlaybackStatus"), QStringLiteral("Paused")}}));

        controls->show(station(QStringLiteral("午后的风"), Playback::Paused));
        QVERIFY(announced.wait());
        const QVariantMap next = listener.changes.takeFirst();
        QCOMPARE(next.keys(), QStringList{QStringLiteral("Metadata")});
        const QVariantMap nextMetadata = next.value(QStringLiteral("Metadata")).toMap();
        QCOMPARE(nextMetadata.value(QStringLiteral("xesam:title")),
                 QVariant(QStringLiteral("午后的风")));
        QVERIFY(trackOf(nextMetadata) != trackOf(metadata));

        // A page without a title shows no track.
        controls->show(MediaState{});
        QVERIFY(announced.wait());
        QCOMPARE(trackOf(listener.changes.takeFirst().value(QStringLiteral("Metadata")).toMap()),
                 QDBusObjectPath(QStringLiteral("/org/mpris/MediaPlayer2/TrackList/NoTrack")));
        QCOMPARE(listener.interfaces, QStringList(4, MprisListener::playerInterface));
    }
};

QTEST_GUILESS_MAIN(MprisControlsTest)

#include "unit_mpris_controls.moc"

#include "platform/mpris_adaptors.h"

#include "platform/mpris_controls.h"

#include <algorithm>
#include <cmath>

namespace sorvo::platform {

MprisRootAdaptor::MprisRootAdaptor(MprisControls& controls)
    : QDBusAbstractAdaptor(&controls), controls_(controls) {}

QString MprisRootAdaptor::identity() const {
    return controls_.identity().name;
}

QString MprisRootAdaptor::desktopEntry() const {
    return controls_.identity().desktopEntry;
}

void MprisRootAdaptor::Raise() {
    emit controls_.raiseRequested();
}

MprisPlayerAdaptor::MprisPlayerAdaptor(MprisControls& controls)
    : QDBusAbstractAdaptor(&controls), controls_(controls) {}

QString MprisPlayerAdaptor::playbackStatus() const {
    switch (controls_.state().playback) {
    case Playback::Playing:
        return QStringLiteral("Playing");
    case Playback::Paused:
        return QStringLiteral("Paused");
    case Playback::Stopped:
        break;
    }
    return QStringLiteral("Stopped");
}

QVariantMap MprisPlayerAdaptor::metadata() const {
    const MediaState& state = controls_.state();
    if (state.title.isEmpty())
        return {{QStringLiteral("mpris:trackid"),
                 QVariant::fromValue(QDBusObjectPath(
                     QStringLiteral("/org/mpris/MediaPlayer2/TrackList/NoTrack")))}};
    QVariantMap metadata{
        {QStringLiteral("mpris:trackid"), QVariant::fromValue(controls_.trackId())},
        {QStringLiteral("xesam:title"), state.title}};
    if (!state.artists.isEmpty()) metadata.insert(QStringLiteral("xesam:artist"), state.artists);
    if (!state.album.isEmpty()) metadata.insert(QStringLiteral("xesam:album"), state.album);
    if (!state.artUrl.isEmpty())
        metadata.insert(QStringLiteral("mpris:artUrl"), state.artUrl.toString());
    return metadata;
}

double MprisPlayerAdaptor::volume() const {
    return controls_.state().volume;
}

void MprisPlayerAdaptor::setVolume(double volume) {
    if (!std::isnan(volume)) emit controls_.volumeRequested(std::clamp(volume, 0.0, 1.0));
}

bool MprisPlayerAdaptor::canGoNext() const {
    return controls_.state().canGoNext;
}

bool MprisPlayerAdaptor::canGoPrevious() const {
    return controls_.state().canGoPrevious;
}

bool MprisPlayerAdaptor::canPlay() const {
    return controls_.state().canPlay;
}

bool MprisPlayerAdaptor::canPause() const {
    return controls_.state().canPause;
}

void MprisPlayerAdaptor::Play() {
    emit controls_.commandRequested(MediaCommand::Play);
}

void MprisPlayerAdaptor::Pause() {
    emit controls_.commandRequested(MediaCommand::Pause);
}

void MprisPlayerAdaptor::PlayPause() {
    emit controls_.commandRequested(MediaCommand::PlayPause);
}

void MprisPlayerAdaptor::Stop() {
    emit controls_.commandRequested(MediaCommand::Stop);
}

void MprisPlayerAdaptor::Next() {
    emit controls_.commandRequested(MediaCommand::Next);
}

void MprisPlayerAdaptor::Previous() {
    emit controls_.commandRequested(MediaCommand::Previous);
}

} // namespace sorvo::platform

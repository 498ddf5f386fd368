#pragma once

#include <QMetaType>
#include <QString>
#include <QStringList>
#include <QUrl>

namespace sorvo::platform {

enum class Playback { Stopped, Paused, Playing };

// What a player shows the system's media controls about the media it plays.
struct MediaState {
    Playback playback = Playback::Stopped;
    QString title;
    QStringList artists;
    QString album;
    QUrl artUrl;         // http or https only
    double volume = 1.0; // 0 to 1; muted is 0
    bool canPlay = false;
    bool canPause = false;
    bool canGoNext = false;
    bool canGoPrevious = false;

    bool operator==(const MediaState&) const = default;
};

// What the system's media controls ask of a player. PlayPause decides by what the player does
// at the moment it arrives, not by what the controls last saw.
enum class MediaCommand { Play, Pause, PlayPause, Stop, Next, Previous };

} // namespace sorvo::platform

// Carried by the media controls' signals, and through QVariant where those are queued or spied on.
Q_DECLARE_METATYPE(sorvo::platform::MediaState)
Q_DECLARE_METATYPE(sorvo::platform::MediaCommand)

#pragma once

#include "platform/media_state.h"

#include <QObject>

namespace sorvo::platform {

// How the system's media controls name the player.
struct MediaIdentity {
    QString name;         // shown to the listener
    QString desktopEntry; // the installed desktop entry's id, without ".desktop"
    QString busName;      // ASCII letters, digits and '_': the player's D-Bus name on Linux
};

// The system's media controls for one player: the keyboard's media keys, the desktop's media
// panel, a phone remote through the desktop. They show what the player tells them and ask it to
// play, pause, change track, set its volume or come to the front. The controls live on the
// user-interface thread and leave the system when destroyed.
//
// Linux: MPRIS on the session bus, as org.mpris.MediaPlayer2.<busName>. The browser engine's own
// MPRIS entry is switched off in prepareWebEngine, so the desktop sees only this one.
//
// Windows, for later: the system media transport controls of the main window
// (ISystemMediaTransportControls from ISystemMediaTransportControlsInterop::GetForWindow with the
// window's HWND). show() would set IsPlayEnabled, IsPauseEnabled, IsStopEnabled, IsNextEnabled and
// IsPreviousEnabled from the can-flags, PlaybackStatus from the playback, and fill the
// DisplayUpdater's MusicProperties (Title, Artist, AlbumTitle) and Thumbnail (artUrl) before
// calling Update(); the ButtonPressed event would become commandRequested. The volume stays with
// the system there, and the window comes forward through the taskbar, so neither is needed. The
// engine registers its own transport controls on Windows too: switch that off in the same place
// once these exist.
class MediaControls : public QObject {
    Q_OBJECT
  public:
    using QObject::QObject;

    virtual void show(const MediaState& state) = 0;

  signals:
    void commandRequested(sorvo::platform::MediaCommand command);
    void volumeRequested(double volume); // 0 to 1
    void raiseRequested();
};

// The system's media controls for this player, owned by `parent`. Null where the system offers
// none or they cannot be reached (no session bus, the name taken by another process); then one
// line on the error output says so and the program runs without them.
MediaControls* createMediaControls(const MediaIdentity& identity, QObject* parent);

} // namespace sorvo::platform

#pragma once

#include "platform/media_controls.h"

#include <QDBusConnection>
#include <QDBusObjectPath>

namespace sorvo::platform {

class MprisPlayerAdaptor;

// MPRIS on the session bus: the object /org/mpris/MediaPlayer2 with the root and player
// interfaces (mpris_adaptors.h), under the name org.mpris.MediaPlayer2.<busName>. Whatever
// show() changes in the player's properties is announced with
// org.freedesktop.DBus.Properties.PropertiesChanged.
class MprisControls final : public MediaControls {
    Q_OBJECT
  public:
    // Registers the object and takes the name; failure() says why when that could not be done.
    MprisControls(const MediaIdentity& identity, const QDBusConnection& bus);
    ~MprisControls() override;

    QString failure() const { return failure_; }

    void show(const MediaState& state) override;

    const MediaIdentity& identity() const { return identity_; }
    const MediaState& state() const { return state_; }
    // Names what show() last showed; a new title, artist, album or picture is a new track.
    QDBusObjectPath trackId() const;

  private:
    void announce(const QVariantMap& changed);

    MediaIdentity identity_;
    QDBusConnection bus_;
    MprisPlayerAdaptor* player_;
    QString failure_;
    bool ownsObject_ = false;
    MediaState state_;
    int track_ = 0;
};

} // namespace sorvo::platform

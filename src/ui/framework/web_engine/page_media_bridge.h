#pragma once

#include "platform/media_state.h"

#include <QObject>
#include <QVariantMap>

class QWebEngineView;

namespace sorvo::ui {

// The end of the web channel that the page's media script talks to: it reports what the page
// plays and listens for commands. Everything here is open to the page.
class PageMediaEndpoint : public QObject {
    Q_OBJECT
  public:
    using QObject::QObject;

    Q_INVOKABLE void report(const QVariantMap& state) { emit reported(state); }

  signals:
    void reported(const QVariantMap& state);
    // Media Session action names: play, pause, playpause, stop, nexttrack, previoustrack.
    void commandRequested(const QString& action);
    void volumeRequested(double volume);
};

// What the view's pages play, for the rest of the program, which knows it through Qt's
// meta-object system only: the object is the view's child named "pageMedia". Every document the
// view shows gets the page media script, in the page's own world before the page's scripts; it
// follows the page's Media Session (metadata and action handlers) and its media elements. A page
// that declares nothing is titled with its own title. Lives on the user-interface thread.
class PageMediaBridge : public QObject {
    Q_OBJECT
    Q_PROPERTY(sorvo::platform::MediaState media READ media NOTIFY mediaChanged)
  public:
    explicit PageMediaBridge(QWebEngineView& view);

    platform::MediaState media() const { return media_; }
    Q_INVOKABLE void perform(sorvo::platform::MediaCommand command);
    Q_INVOKABLE void setVolume(double volume);

  signals:
    void mediaChanged();

  private:
    void update(const QVariantMap& report);

    QWebEngineView& view_;
    PageMediaEndpoint* endpoint_;
    QVariantMap report_;
    platform::MediaState media_;
};

} // namespace sorvo::ui

#pragma once

#include "platform/media_state.h"

#include <QColor>
#include <QStringList>
#include <QUrl>
#include <QtPlugin>
#include <chrono>

class QWidget;

namespace sorvo::browser {

// What the interface between the program and the browser engine's module is made of. The
// module is a Qt plugin the program loads when its first page opens; the program sees the
// engine only through these classes.

// What a browser shows before its page paints.
inline const QColor pageBackground(24, 24, 28);

// What a view learns from the program about its surroundings.
struct BrowserSetup {
    // host[:port] of the sites whose pages the view shows itself.
    QStringList siteHosts;
    // "http" or "https": the scheme of the sites' addresses.
    QString siteScheme;
    // How long a play the listener wants may go without advancing before it is mended.
    std::chrono::milliseconds stallTime = std::chrono::seconds(10);
};

// One browser view: the engine's widget and what the program asks of it.
class BrowserView {
  public:
    // What the view tells the program. Called on the user-interface thread.
    class Listener {
      public:
        virtual void onLoadFinished(bool ok) = 0;
        virtual void onMediaChanged() = 0;
        // An address that belongs in the default browser, asked for by the listener's click or
        // key press in the page.
        virtual void onOpenElsewhere(const QUrl& address) = 0;

      protected:
        ~Listener() = default;
    };

    // The view is its widget: it goes with the widget's parent, which owns it.
    virtual ~BrowserView() = default;

    virtual QWidget& widget() = 0;
    virtual void open(const QUrl& address) = 0;
    // The address and title of the page shown; empty until a page opens.
    virtual QUrl url() const = 0;
    virtual QString title() const = 0;

    // What the page plays, and the commands a player takes.
    virtual platform::MediaState media() const = 0;
    virtual void perform(platform::MediaCommand command) = 0;
    // 0 to 1.
    virtual void setVolume(double volume) = 0;
    // The machine woke from sleep: a play the listener wants that stalled meanwhile is mended now.
    virtual void onSystemWoke() = 0;
};

// The module's entry: builds views.
class BrowserModule {
  public:
    virtual ~BrowserModule() = default;

    // A view whose widget is a child of `parent`, owned by it. It reports to `listener` from the
    // event loop and stops as it goes, so the parent itself may listen.
    virtual BrowserView& createView(QWidget& parent, const BrowserSetup& setup,
                                    BrowserView::Listener& listener) = 0;
};

} // namespace sorvo::browser

#define SORVO_BROWSER_MODULE_IID "example.sorvo.Radio.BrowserModule/3"
Q_DECLARE_INTERFACE(sorvo::browser::BrowserModule, SORVO_BROWSER_MODULE_IID)

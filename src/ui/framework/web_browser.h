#pragma once

#include "browser/browser_module.h"
#include "platform/media_state.h"

#include <QUrl>
#include <QWidget>
#include <chrono>

namespace sorvo::ui {

// The embedded browser. The browser engine is a large library of its own: it is loaded, and the
// browser's view built, when the first page opens, so that the program's first windows are on
// screen before either. Pages may play sound without a click first: the radio starts by itself.
// The browser shows the pages of the sites it is given itself and hands other addresses to the
// default browser; what the page may do beyond that, and what the browser shows when the page
// cannot be loaded, the browser engine module decides.
class WebBrowser : public QWidget, private browser::BrowserView::Listener {
    Q_OBJECT
  public:
    // `startPath`: the page on the first of the browser's sites that openStartPage opens.
    WebBrowser(QWidget* parent, QString startPath = {});

    // The sites (host[:port]) whose pages the browser shows itself, all in `scheme`. Like the
    // stall time below, this takes effect for a view built after it.
    void setSites(QStringList hosts, QString scheme);
    void openAddress(const QUrl& address);
    void openStartPage();
    // The address and title of the page shown; empty until a page opens.
    QUrl url() const;
    QString title() const;

    // What the page plays, and the commands a player takes: play, pause, the next station. Before
    // a page opens, and on a page that plays nothing, there is nothing to play.
    platform::MediaState media() const;
    void performMediaCommand(platform::MediaCommand command);
    void setMediaVolume(double volume);
    // The machine woke from sleep.
    void onSystemWoke();
    // How long a wanted play may go silent before it is mended; takes effect for a view built
    // after it, that is, before the first page opens.
    void setStallTime(std::chrono::milliseconds stallTime) { setup_.stallTime = stallTime; }

  signals:
    void loadFinished(bool ok);
    void mediaChanged();

  private:
    void onLoadFinished(bool ok) override { emit loadFinished(ok); }
    void onMediaChanged() override { emit mediaChanged(); }
    void onOpenElsewhere(const QUrl& address) override;

    const QString startPath_;
    browser::BrowserSetup setup_;
    // A child widget: this browser owns it as its parent.
    browser::BrowserView* view_ = nullptr;
};

} // namespace sorvo::ui

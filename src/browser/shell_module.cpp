// The browser engine's side of the embedded browser, built as a module of its own: the program
// loads the engine's libraries with it when the first page opens, not at start-up.
#include "browser/browser_module.h"
#include "browser/page_keeper.h"
#include "browser/page_media_bridge.h"
#include "browser/render_path.h"
#include "browser/shell_page.h"
#include "browser/stall_watch.h"

#include <QObject>
#include <QPointer>
#include <QWebEngineSettings>
#include <QWebEngineView>

namespace sorvo::browser {

namespace {

// The view is the engine's widget itself, so its parent is its one owner; what watches the view
// lives in it. It reports to the listener from the event loop, and only while `reporting_`
// stands: that ends with the view's own members, before the engine's view and page go, so its
// teardown reports nothing.
class ShellView final : public QWebEngineView, public BrowserView {
  public:
    ShellView(QWidget* parent, const BrowserSetup& setup, Listener& listener)
        : QWebEngineView(parent),
          // The page first: the watches below reach it through the view.
          page_(withPage(new ShellPage(
              NavigationPolicy(setup.siteHosts, setup.siteScheme),
              [&listener, reporting = QPointer<QObject>(&reporting_)](const QUrl& address) {
                  if (reporting) listener.onOpenElsewhere(address);
              },
              *this))),
          media_(*this), keeper_(*this), stalls_(*this, media_, setup.stallTime) {
        settings()->setAttribute(QWebEngineSettings::PlaybackRequiresUserGesture, false);
        page_->setBackgroundColor(pageBackground);
        QObject::connect(this, &QWebEngineView::loadFinished, &reporting_,
                         [&listener](bool ok) { listener.onLoadFinished(ok); });
        QObject::connect(&media_, &PageMediaBridge::mediaChanged, &reporting_,
                         [&listener] { listener.onMediaChanged(); });
    }

    QWidget& widget() override { return *this; }
    void open(const QUrl& address) override { page_->open(address); }
    QUrl url() const override { return QWebEngineView::url(); }
    QString title() const override { return QWebEngineView::title(); }
    platform::MediaState media() const override { return media_.media(); }
    void perform(platform::MediaCommand command) override {
        using platform::MediaCommand;
        if (command == MediaCommand::Pause || command == MediaCommand::Stop)
            stalls_.onListenerPaused();
        media_.perform(command);
    }
    void setVolume(double volume) override { media_.setVolume(volume); }
    void onSystemWoke() override { stalls_.mendNow(); }

  private:
    ShellPage* withPage(ShellPage* page) {
        setPage(page);
        return page;
    }

    QObject reporting_;
    ShellPage* page_; // a child, as the engine wants its pages
    PageMediaBridge media_;
    PageKeeper keeper_;
    StallWatch stalls_;
};

} // namespace

class ShellModule : public QObject, public BrowserModule {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID SORVO_BROWSER_MODULE_IID)
    Q_INTERFACES(sorvo::browser::BrowserModule)
  public:
    BrowserView& createView(QWidget& parent, const BrowserSetup& setup,
                            BrowserView::Listener& listener) override {
        chooseRenderPath();
        return *new ShellView(&parent, setup, listener);
    }
};

} // namespace sorvo::browser

#include "shell_module.moc"

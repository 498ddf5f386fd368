// The browser engine's side of the embedded browser, built as a module of its own: the program
// loads the engine's libraries with it when the first page opens, not at start-up.
#include "browser/browser_module.h"
#include "browser/page_keeper.h"
#include "browser/page_media_bridge.h"
#include "browser/render_path.h"
#include "browser/shell_page.h"
#include "browser/stall_watch.h"

#include <QObject>
#include <QWebEngineSettings>
#include <QWebEngineView>

namespace sorvo::browser {

namespace {

class ShellView final : public BrowserView {
  public:
    ShellView(QWidget* parent, const BrowserSetup& setup, Listener& listener)
        : view_(new QWebEngineView(parent)),
          page_(new ShellPage(
              NavigationPolicy(setup.siteHosts, setup.siteScheme),
              [&listener](const QUrl& address) { listener.onOpenElsewhere(address); }, *view_)) {
        // The page first: the media bridge reaches the page through the view.
        view_->setPage(page_);
        media_ = new PageMediaBridge(*view_);
        view_->settings()->setAttribute(QWebEngineSettings::PlaybackRequiresUserGesture, false);
        page_->setBackgroundColor(pageBackground);
        new PageKeeper(*view_);
        stalls_ = new StallWatch(*view_, *media_, setup.stallTime);
        QObject::connect(view_, &QWebEngineView::loadFinished, view_,
                         [&listener](bool ok) { listener.onLoadFinished(ok); });
        QObject::connect(media_, &PageMediaBridge::mediaChanged, view_,
                         [&listener] { listener.onMediaChanged(); });
    }
    ~ShellView() override { delete view_; }
    ShellView(const ShellView&) = delete;
    ShellView& operator=(const ShellView&) = delete;

    QWidget& widget() override { return *view_; }
    void open(const QUrl& address) override { page_->open(address); }
    QUrl url() const override { return view_->url(); }
    QString title() const override { return view_->title(); }
    platform::MediaState media() const override { return media_->media(); }
    void perform(platform::MediaCommand command) override {
        using platform::MediaCommand;
        if (command == MediaCommand::Pause || command == MediaCommand::Stop)
            stalls_->onListenerPaused();
        media_->perform(command);
    }
    void setVolume(double volume) override { media_->setVolume(volume); }
    void onSystemWoke() override { stalls_->mendNow(); }

  private:
    QWebEngineView* view_;
    ShellPage* page_;
    PageMediaBridge* media_ = nullptr;
    StallWatch* stalls_ = nullptr;
};

} // namespace

class ShellModule : public QObject, public BrowserModule {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID SORVO_BROWSER_MODULE_IID)
    Q_INTERFACES(sorvo::browser::BrowserModule)
  public:
    std::unique_ptr<BrowserView> createView(QWidget* parent, const BrowserSetup& setup,
                                            BrowserView::Listener& listener) override {
        chooseRenderPath();
        return std::make_unique<ShellView>(parent, setup, listener);
    }
};

} // namespace sorvo::browser

#include "shell_module.moc"

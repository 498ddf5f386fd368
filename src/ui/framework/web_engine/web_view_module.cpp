// The browser engine's side of the embedded browser, built as a module of its own: the program
// loads the engine's libraries with it when the first page opens, not at start-up.
#include "ui/framework/render_path.h"
#include "ui/framework/web_engine/page_keeper.h"
#include "ui/framework/web_engine/page_media_bridge.h"
#include "ui/framework/web_engine/shell_page.h"
#include "ui/framework/web_view_loader.h"

#include <QWebEnginePage>
#include <QWebEngineSettings>
#include <QWebEngineView>

extern "C" Q_DECL_EXPORT QWidget*
sorvoCreateWebView(QWidget* parent, const sorvo::ui::WebViewSurroundings& surroundings) {
    sorvo::ui::chooseRenderPath();
    auto* view = new QWebEngineView(parent);
    view->setPage(new sorvo::ui::ShellPage(sorvo::ui::NavigationPolicy(surroundings.siteHosts),
                                           surroundings.openElsewhere, view));
    view->settings()->setAttribute(QWebEngineSettings::PlaybackRequiresUserGesture, false);
    view->page()->setBackgroundColor(sorvo::ui::webBrowserBackground);
    new sorvo::ui::PageKeeper(*view);
    new sorvo::ui::PageMediaBridge(*view);
    return view;
}

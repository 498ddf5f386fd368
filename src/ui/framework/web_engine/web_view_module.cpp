// The browser engine's side of the embedded browser, built as a module of its own: the program
// loads the engine's libraries with it when the first page opens, not at start-up.
#include "ui/framework/web_engine/web_renderer.h"
#include "ui/framework/web_engine_module.h"

#include <QWebEnginePage>
#include <QWebEngineSettings>
#include <QWebEngineView>

extern "C" Q_DECL_EXPORT QWidget* sorvoCreateWebView(QWidget* parent) {
    // Before the engine's first view, which is the first scene-graph window of the program.
    static const bool rendererChosen = (sorvo::ui::chooseWebRenderer(), true);
    Q_UNUSED(rendererChosen);
    auto* view = new QWebEngineView(parent);
    view->settings()->setAttribute(QWebEngineSettings::PlaybackRequiresUserGesture, false);
    view->page()->setBackgroundColor(sorvo::ui::webBrowserBackground);
    return view;
}

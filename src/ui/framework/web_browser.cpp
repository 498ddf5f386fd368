#include "ui/framework/web_browser.h"

#include "config/hosts.h"
#include "platform/platform.h"
#include "ui/framework/web_view_loader.h"

#include <QVBoxLayout>

namespace sorvo::ui {

WebBrowser::WebBrowser(QWidget* parent, QString startPath)
    : QWidget(parent), startPath_(std::move(startPath)) {
    // Dark until the page paints, so loading never flashes white inside the dark skin.
    QPalette dark = palette();
    dark.setColor(QPalette::Window, webBrowserBackground);
    setPalette(dark);
    setAutoFillBackground(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
}

void WebBrowser::openStartPage() {
    openAddress(QUrl(webAddress(hosts().site + startPath_)));
}

void WebBrowser::openAddress(const QUrl& address) {
    if (view_ == nullptr) {
        const CreateWebView createView = webViewFactory();
        if (createView == nullptr) {
            emit loadFinished(false);
            return;
        }
        view_ =
            createView(this, {{hosts().site, hosts().forum}, [](const QUrl& elsewhere) {
                                  platform::openWebAddress(elsewhere.toString(QUrl::FullyEncoded));
                              }});
        layout()->addWidget(view_);
        // The view is the engine's own widget, known here only through Qt's meta-object system.
        connect(view_, SIGNAL(loadFinished(bool)), this, SIGNAL(loadFinished(bool)));
        connectPageMedia();
    }
    view_->setProperty("url", address);
}

QUrl WebBrowser::url() const {
    return view_ != nullptr ? view_->property("url").toUrl() : QUrl();
}

QString WebBrowser::title() const {
    return view_ != nullptr ? view_->property("title").toString() : QString();
}

} // namespace sorvo::ui

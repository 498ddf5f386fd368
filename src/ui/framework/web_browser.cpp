#include "ui/framework/web_browser.h"

#include <QWebEngineSettings>

namespace sorvo::ui {

WebBrowser::WebBrowser(QWidget* parent) : QWebEngineView(parent) {}

void WebBrowser::openAddress(const QUrl& address) {
    settings()->setAttribute(QWebEngineSettings::PlaybackRequiresUserGesture, false);
    // Dark until the page paints, so loading never flashes white inside the dark skin.
    page()->setBackgroundColor(QColor(24, 24, 28));
    load(address);
}

} // namespace sorvo::ui

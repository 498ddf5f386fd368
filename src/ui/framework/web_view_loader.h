#pragma once

#include <QColor>
#include <QStringList>
#include <functional>

class QUrl;
class QWidget;

namespace sorvo::ui {

// What a browser shows before its page paints.
inline const QColor webBrowserBackground(24, 24, 28);

// What a browser view learns from the program about its surroundings.
struct WebViewSurroundings {
    // host[:port] of the sites whose pages the view shows itself.
    QStringList siteHosts;
    // Hands an address to the default browser.
    std::function<void(const QUrl&)> openElsewhere;
};

// Builds a browser view, the browser engine's widget, as a child of parent.
using CreateWebView = QWidget* (*)(QWidget* parent, const WebViewSurroundings& surroundings);

// The browser engine module's view factory. The module is loaded on the first call; when it
// cannot be, the reason goes to the error output and the result is null.
CreateWebView webViewFactory();

} // namespace sorvo::ui

#pragma once

#include <QColor>

class QWidget;

namespace sorvo::ui {

// What a browser shows before its page paints.
inline const QColor webBrowserBackground(24, 24, 28);

// Builds a browser view, the browser engine's widget, as a child of parent.
using CreateWebView = QWidget* (*)(QWidget* parent);

// The browser engine module's view factory. The module is loaded on the first call; when it
// cannot be, the reason goes to the error output and the result is null.
CreateWebView webViewFactory();

} // namespace sorvo::ui

#pragma once

#include <QWebEngineView>

namespace sorvo::ui {

// The embedded browser. Pages may play sound without a click first: the radio starts by itself.
class WebBrowser : public QWebEngineView {
    Q_OBJECT
public:
    explicit WebBrowser(QWidget* parent);

    // Opens a web address. The browser engine starts with the first page a browser opens, not
    // when the browser is built, so windows appear before it has spun up.
    void openAddress(const QUrl& address);
};

} // namespace sorvo::ui

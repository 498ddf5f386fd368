#pragma once

#include <QWebEngineView>

namespace sorvo::ui {

// The embedded browser. Pages may play sound without a click first: the radio starts by itself.
class WebBrowser : public QWebEngineView {
    Q_OBJECT
  public:
    explicit WebBrowser(QWidget* parent);
};

} // namespace sorvo::ui

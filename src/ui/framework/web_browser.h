#pragma once

#include <QUrl>
#include <QWidget>

namespace sorvo::ui {

// The embedded browser. The browser engine is a large library of its own: it is loaded, and the
// browser's view built, when the first page opens, so that the program's first windows are on
// screen before either. Pages may play sound without a click first: the radio starts by itself.
// The browser shows the product's web site and forum; what the page may do beyond that, and what
// the browser shows when the page cannot be loaded, the browser engine module decides.
class WebBrowser : public QWidget {
    Q_OBJECT
  public:
    explicit WebBrowser(QWidget* parent);

    void openAddress(const QUrl& address);
    // The address and title of the page shown; empty until a page opens.
    QUrl url() const;
    QString title() const;

  signals:
    void loadFinished(bool ok);

  private:
    QWidget* view_ = nullptr;
};

} // namespace sorvo::ui

#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QUrl>
#include <functional>
#include <utility>
#include <vector>

class QWidget;

namespace sorvo::browser {

// The listener's last real click or key press in a view's page. Such input reaches the page's
// widgets from the window system; what a page's script does never does, and neither does input
// to the program's own windows over the page (its message boxes). A gesture counts for a short
// while, for one thing only, and only for what it asked for: a click for the link it landed on,
// a key press or a click on a control for a window the engine says the listener opened.
class UserGesture : public QObject {
    Q_OBJECT
  public:
    // Watches `view` and every widget the engine puts inside it, for no longer than the view.
    explicit UserGesture(QWidget& view);

    // The link under the pointer, as the page reports it; empty over no link.
    void onLinkHovered(const QUrl& link);

    // Runs `go` if a gesture asked for `address`: a key press (which names no link), or a click
    // on that link. The engine names the link under the pointer a moment after the click's own
    // requests, so a click's requests wait for it while the click is fresh. Runs once a gesture.
    void whenAskedFor(const QUrl& address, std::function<void()> go);
    // Whether any gesture is at hand, for a window the engine knows the listener opened.
    bool take();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void watch(QObject& object);

    QWidget& view_;
    QElapsedTimer since_;
    bool fresh() const;

    QUrl hovered_;
    bool byKey_ = false; // the gesture was a key press, which names no link
    // What the page asked for since the click, waiting for the engine to name the clicked link.
    std::vector<std::pair<QUrl, std::function<void()>>> waiting_;
};

} // namespace sorvo::browser

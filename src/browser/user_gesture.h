#pragma once

#include <QElapsedTimer>
#include <QObject>

class QWidget;

namespace sorvo::browser {

// The listener's last real click or key press in a view. Such input reaches the view's widgets
// from the window system; what a page's script does never does. A gesture counts for a short
// while, and for one thing only.
class UserGesture : public QObject {
    Q_OBJECT
  public:
    // Watches `view` and every widget the engine puts inside it.
    explicit UserGesture(QWidget& view);

    // Whether a gesture is at hand; it is used up.
    bool take();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void watch(QObject& object);

    QElapsedTimer since_;
};

} // namespace sorvo::browser

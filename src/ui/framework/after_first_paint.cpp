#include "ui/framework/after_first_paint.h"

#include <QEvent>
#include <QPointer>
#include <QTimer>
#include <QWidget>

namespace sorvo::ui {

namespace {

// Lives as a child of the window it watches, so it goes with the window at the latest.
class FirstPaintWatch : public QObject {
  public:
    FirstPaintWatch(QWidget& window, QObject* context, std::function<void()> then)
        : QObject(&window), context_(context), then_(std::move(then)) {
        // Opaque controls covering the window may paint where the window itself never does.
        window.installEventFilter(this);
        for (QWidget* control : window.findChildren<QWidget*>())
            control->installEventFilter(this);
    }
    ~FirstPaintWatch() override { fire(); }

    bool eventFilter(QObject*, QEvent* event) override {
        // The paint runs right after this returns; the work is queued behind it.
        if (event->type() == QEvent::Paint && then_) {
            fire();
            deleteLater();
        }
        return false;
    }

  private:
    void fire() {
        if (!then_ || context_.isNull()) return;
        QTimer::singleShot(0, context_.data(), std::move(then_));
        then_ = nullptr;
    }

    QPointer<QObject> context_;
    std::function<void()> then_;
};

} // namespace

void afterFirstPaint(QWidget& window, QObject* context, std::function<void()> then) {
    new FirstPaintWatch(window, context, std::move(then));
}

} // namespace sorvo::ui

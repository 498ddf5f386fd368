#pragma once

#include <QObject>
#include <QTimer>
#include <functional>

namespace sorvo::ui {

// A window's timer: setting an interval starts it at that period, an interval of 0 stops it.
class Timer : public QObject {
    Q_OBJECT
  public:
    explicit Timer(QObject* parent);

    void setInterval(int ms);
    int interval() const { return timer_.isActive() ? timer_.interval() : 0; }

    std::function<void()> onTick;

  private:
    QTimer timer_;
};

} // namespace sorvo::ui

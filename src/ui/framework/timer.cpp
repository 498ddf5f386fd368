#include "ui/framework/timer.h"

namespace sorvo::ui {

Timer::Timer(QObject* parent) : QObject(parent) {
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, [this] {
        if (onTick) onTick();
    });
}

void Timer::setInterval(int ms) {
    if (ms <= 0) {
        timer_.stop();
        return;
    }
    timer_.start(ms);
}

} // namespace sorvo::ui

#pragma once

#include <QApplication>
#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>
#include <functional>
#include <utility>
#include <vector>

// A script of waits and actions that a timer walks through. Popup menus and modal dialogs run
// loops of their own inside the handler that opened them, so a test whose own code is stuck
// below such a loop cannot go on; the timer fires inside any loop and so keeps the script going.
// A wait that is not met within the deadline ends the script with its description as the
// failure, and closes any popup menu or modal window left open.
class Steps : public QObject {
  public:
    explicit Steps(int deadlineMs = 15000) : deadlineMs_(deadlineMs) {
        connect(&timer_, &QTimer::timeout, this, &Steps::advance);
    }

    Steps& waitFor(QString what, std::function<bool()> condition) {
        steps_.push_back({std::move(what), std::move(condition), {}});
        return *this;
    }

    Steps& then(std::function<void()> action) {
        steps_.push_back({{}, {}, std::move(action)});
        return *this;
    }

    void start() {
        timer_.start(20);
        waitingSince_.start();
    }

    bool finished() const { return next_ == steps_.size() || !failure_.isEmpty(); }
    // Empty when every wait was met.
    const QString& failure() const { return failure_; }

  private:
    struct Step {
        QString what;
        std::function<bool()> condition;
        std::function<void()> action;
    };

    void advance() {
        while (next_ < steps_.size()) {
            Step& step = steps_[next_];
            if (step.condition && !step.condition()) {
                if (waitingSince_.hasExpired(deadlineMs_)) giveUp(step.what);
                return;
            }
            ++next_;
            waitingSince_.start();
            // An action may open a menu or a dialog and run its loop right here; the timer goes
            // on firing inside it, so it must not find this step again.
            if (step.action) step.action();
        }
        timer_.stop();
    }

    // Closes what the script may have left open, so that the loops below the test's own code
    // return and the test can report the failure instead of hanging.
    void giveUp(const QString& what) {
        failure_ = QStringLiteral("timed out waiting for: ") + what;
        timer_.stop();
        while (QWidget* popup = QApplication::activePopupWidget())
            popup->close();
        if (QWidget* modal = QApplication::activeModalWidget()) modal->close();
    }

    int deadlineMs_;
    std::vector<Step> steps_;
    std::size_t next_ = 0;
    QString failure_;
    QTimer timer_;
    QElapsedTimer waitingSince_;
};

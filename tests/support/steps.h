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

    // Does `act` and waits for `condition`, doing it again every `againMs` until the condition
    // holds: for input that the desktop may drop while it is still busy with the last (a click
    // on a tray icon right after a window went away).
    Steps& actUntil(QString what, std::function<void()> act, std::function<bool()> condition,
                    int againMs = 2000) {
        steps_.push_back({std::move(what), std::move(condition), std::move(act), againMs});
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
        int againMs = 0; // with both: the action is repeated until the condition holds
    };

    void advance() {
        while (next_ < steps_.size()) {
            Step& step = steps_[next_];
            if (step.againMs > 0) {
                // Looked at first: acting again on what has already worked would undo it.
                if (!actedSince_.isValid() || !step.condition()) {
                    if (waitingSince_.hasExpired(deadlineMs_)) return giveUp(step.what);
                    if (!actedSince_.isValid() || actedSince_.hasExpired(step.againMs)) {
                        actedSince_.start();
                        step.action();
                    }
                    return;
                }
                actedSince_.invalidate();
                ++next_;
                waitingSince_.start();
                continue;
            }
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
    QElapsedTimer actedSince_;
};

#pragma once

#include <QObject>

namespace sorvo::platform {

// Hears the system's login manager say that the machine goes to sleep and wakes (logind's
// PrepareForSleep on the system bus). Without a system bus or a login manager it says nothing.
class SleepWatch : public QObject {
    Q_OBJECT
  public:
    explicit SleepWatch(QObject* parent);

  signals:
    void woke();

  private slots:
    void onPrepareForSleep(bool sleeping);
};

} // namespace sorvo::platform

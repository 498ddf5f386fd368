#include "platform/sleep_watch.h"

#include "config/log_categories.h"

#include <QDBusConnection>

namespace sorvo::platform {

SleepWatch::SleepWatch(QObject* parent) : QObject(parent) {
    QDBusConnection::systemBus().connect(
        QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"),
        QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("PrepareForSleep"), this,
        SLOT(onPrepareForSleep(bool)));
}

// Going to sleep needs nothing: what plays is looked at after the wake.
void SleepWatch::onPrepareForSleep(bool sleeping) {
    if (sleeping) return;
    qCInfo(platformLog) << "the system woke";
    emit woke();
}

} // namespace sorvo::platform

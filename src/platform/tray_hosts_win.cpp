#include "platform/tray_hosts.h"

namespace sorvo::platform {

namespace {
TrayHosts* theHosts = nullptr;
} // namespace

TrayHosts& TrayHosts::instance() {
    Q_ASSERT(theHosts);
    return *theHosts;
}

// The notification area is always there.
TrayHosts::TrayHosts() : embeddedTray_(true) {
    Q_ASSERT(!theHosts);
    theHosts = this;
}

TrayHosts::~TrayHosts() {
    theHosts = nullptr;
}

void TrayHosts::readStatusNotifierHost() {}

void TrayHosts::onStatusNotifierHost(quint64, bool) {}

void TrayHosts::announce() {}

} // namespace sorvo::platform

#include "platform/tray_hosts.h"

namespace sorvo::platform {

TrayHosts& TrayHosts::instance() {
    static TrayHosts* hosts = new TrayHosts;
    return *hosts;
}

// The notification area is always there.
TrayHosts::TrayHosts() : watcher_(nullptr), embeddedTray_(true) {}

void TrayHosts::readStatusNotifierHost() {}

void TrayHosts::announce() {}

} // namespace sorvo::platform

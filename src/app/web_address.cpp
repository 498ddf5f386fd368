#include "app/web_address.h"

#include "config/hosts.h"
#include "platform/platform.h"

namespace sorvo::app {

QString sourceTaggedAddress(const QString& hostAndPath) {
    return webAddress(hostAndPath) + QStringLiteral("?src=SorvoRadio");
}

void openWebAddress(const QString& address) {
    platform::openWebAddress(address);
}

} // namespace sorvo::app

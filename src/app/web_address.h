#pragma once

#include <QString>

namespace sorvo::app {

// The address of a product web page as the client opens it: in the configured scheme, tagged with
// this program as the visitor's source. `hostAndPath` is the host (with any port) followed by the
// path.
QString sourceTaggedAddress(const QString& hostAndPath);

// Hands a web address to the system to open in the default browser; nothing is examined.
void openWebAddress(const QString& address);

} // namespace sorvo::app

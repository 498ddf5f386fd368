#pragma once

#include <functional>

class QObject;

namespace sorvo::browser {

// Calls `back` each time the system reports that the network is reachable again, for as long as
// `context` lives. Where Qt has no way to learn about the network here, it is never called.
void whenNetworkReturns(QObject& context, std::function<void()> back);

} // namespace sorvo::browser

#pragma once

#include "options.h"

namespace httplib {
class Server;
}

namespace sorvo::demo {

// Puts every page, stream and the package on `server`, answers anything else with 404, and logs
// each request on one line to stderr.
void installRoutes(httplib::Server& server, const ServiceOptions& options);

} // namespace sorvo::demo

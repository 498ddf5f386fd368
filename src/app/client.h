#pragma once

namespace sorvo::app {

// The whole client from start to end. The process ends inside with exit code 0; the call returns
// 0 only when an already running client was asked to come forward instead.
int runClient(int argc, char* argv[]);

} // namespace sorvo::app

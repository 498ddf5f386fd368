#pragma once

namespace sorvo::app {

// The whole client from start to end; returns the process exit code.
int runClient(int argc, char* argv[]);

} // namespace sorvo::app

#include "platform/termination_watch.h"

namespace sorvo::platform {

// Windows sends a windowed program none of the signals the watch hears.
TerminationWatch::TerminationWatch() = default;
TerminationWatch::~TerminationWatch() = default;

} // namespace sorvo::platform

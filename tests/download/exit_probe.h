#pragma once

#include <string>

namespace sorvo::download::testing {

struct ProbeExit {
    bool ended = false; // within ten seconds
    int status = -1;
};

// Runs download_exit_probe, which starts a download of url whose name lookup never answers and
// leaves main while it hangs.
ProbeExit runExitProbe(const std::string& url, const std::string& target);

} // namespace sorvo::download::testing

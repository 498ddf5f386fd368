#include "private_desktop.h"

#include <cstdlib>
#include <fstream>

PrivateDesktop::~PrivateDesktop() {
    if (started_) std::system((std::string(SORVO_DESKTOP_SESSION) + " stop " + state_).c_str());
}

bool PrivateDesktop::start() {
    started_ = true;
    if (std::system((std::string(SORVO_DESKTOP_SESSION) + " start " + state_).c_str()) != 0)
        return false;
    std::ifstream env(state_ + "/env");
    const std::string prefix = "export DISPLAY=";
    for (std::string line; std::getline(env, line);) {
        if (line.starts_with(prefix)) {
            setenv("DISPLAY", line.substr(prefix.size()).c_str(), 1);
            return true;
        }
    }
    return false;
}

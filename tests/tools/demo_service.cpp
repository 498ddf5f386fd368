#include "demo_service.h"

#include <csignal>
#include <stdexcept>

namespace sorvo::test {

namespace {

std::vector<std::string> commandLine(const std::vector<std::string>& options) {
    std::vector<std::string> argv{SORVO_DEMO_SERVICE, "--port", "0"};
    argv.insert(argv.end(), options.begin(), options.end());
    return argv;
}

} // namespace

DemoService::DemoService(const std::vector<std::string>& options) : process_(commandLine(options)) {
    const std::string prefix = "listening on 127.0.0.1:";
    const auto line = process_.readLine(std::chrono::seconds(10));
    if (!line || !line->starts_with(prefix))
        throw std::runtime_error("the demo service did not say where it listens");
    port_ = std::stoi(line->substr(prefix.size()));
}

DemoService::~DemoService() {
    if (!stopped_) stop();
}

int DemoService::stop() {
    stopped_ = true;
    kill(process_.pid(), SIGTERM);
    return process_.wait();
}

} // namespace sorvo::test

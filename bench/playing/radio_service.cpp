#include "radio_service.h"

#include <chrono>
#include <unistd.h>

using namespace std::chrono_literals;

namespace {

// The service logs each request on its error output; here both outputs come through one pipe.
std::vector<std::string> serviceCommand(const std::vector<std::string>& options) {
    std::vector<std::string> command{
        "/bin/sh", "-c",           "exec \"$0\" \"$@\" 2>&1", SORVO_DEMO_SERVICE, "--port",
        "0",       "--parent-pid", std::to_string(getpid())};
    command.insert(command.end(), options.begin(), options.end());
    return command;
}

} // namespace

RadioService::RadioService(const std::vector<std::string>& options)
    : process_(serviceCommand(options)) {
    const std::string announcement = "listening on ";
    for (auto line = process_.readLine(10s); line; line = process_.readLine(10s)) {
        if (line->starts_with(announcement)) {
            host_ = line->substr(announcement.size());
            reader_ = std::thread([this] { readLog(); });
            return;
        }
    }
}

RadioService::~RadioService() {
    stopping_ = true;
    if (reader_.joinable()) reader_.join();
}

void RadioService::readLog() {
    while (!stopping_) {
        const auto asked = std::chrono::steady_clock::now();
        const auto line = process_.readLine(200ms);
        if (line && line->starts_with("GET ") && line->find("/channel/") != std::string::npos)
            ++streamRequests_;
        // Nothing, and at once: the service's output has ended.
        if (!line && std::chrono::steady_clock::now() - asked < 100ms) return;
    }
}

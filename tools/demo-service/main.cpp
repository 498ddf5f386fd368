// A stand-in for the radio service on 127.0.0.1: the radio page with music it composes itself,
// the upgrade note and package, and the pages the tray menu opens.

#include "options.h"
#include "package.h"
#include "service.h"
#include "stop_request.h"

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <httplib.h>
#include <string>
#include <sys/socket.h>
#include <thread>
#include <variant>
#include <vector>

int main(int argc, char** argv) {
    using namespace sorvo::demo;

    const auto parsed = parseOptions(std::vector<std::string>(argv + 1, argv + argc));
    if (const auto* error = std::get_if<OptionsError>(&parsed)) {
        std::fprintf(stderr, "sorvo-demo-service: %s\n%s", error->message.c_str(), usageText);
        return 2;
    }
    const auto& options = std::get<ServiceOptions>(parsed);
    if (!options.writePackage.empty()) {
        if (writeWhole(*makePackage(options.packageSize), options.writePackage)) return 0;
        std::fprintf(stderr, "sorvo-demo-service: cannot write %s\n", options.writePackage.c_str());
        return 1;
    }

    blockStopSignals();
    // A listener that hangs up mid-download must not end the service.
    std::signal(SIGPIPE, SIG_IGN);

    httplib::Server server;
    installRoutes(server, options);
    // httplib's default, SO_REUSEPORT, lets a second service listen on the same port and take
    // half the requests; SO_REUSEADDR only allows a quick restart.
    server.set_socket_options([](socket_t listening) {
        const int yes = 1;
        setsockopt(listening, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    });

    int port = options.port;
    if (port == 0)
        port = server.bind_to_any_port("127.0.0.1");
    else if (!server.bind_to_port("127.0.0.1", port))
        port = -1;
    if (port <= 0) {
        std::fprintf(stderr, "sorvo-demo-service: cannot listen on 127.0.0.1:%d\n", options.port);
        return 1;
    }
    std::atomic<bool> serverEnded = false;
    std::thread listener([&] {
        server.listen_after_bind();
        serverEnded = true;
    });
    // stop() reaches only a server that has begun to listen, so the port is announced, and a
    // stop request taken, from then on.
    while (!server.is_running() && !serverEnded)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    if (!serverEnded) {
        std::printf("listening on 127.0.0.1:%d\n", port);
        std::fflush(stdout);
        waitForStopRequest(static_cast<pid_t>(options.parentPid), serverEnded);
        server.stop();
    }
    listener.join();
    return 0;
}

#pragma once

#include "support/loopback_server.h"

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <thread>
#include <vector>

namespace sorvo::download::testing {

// Deterministic bytes that differ from seed to seed.
std::string makePackage(std::size_t size, uint32_t seed = 1);

using sorvo::testing::SeenRequest;
using sorvo::testing::serve;
using sorvo::testing::Serving;

// An HTTP server on 127.0.0.1 with an ephemeral port, for one test.
class PackageServer {
  public:
    explicit PackageServer(const std::function<void(httplib::Server&)>& routes) : server_(routes) {}

    std::string url(const std::string& path) const { return server_.url(path); }
    std::vector<SeenRequest> requests() const { return server_.requests(); }

  private:
    sorvo::testing::LoopbackServer server_;
};

// A server on 127.0.0.1 that answers a request for a path with the bytes given for it, exactly
// as they are, and then closes the connection: for answers that an HTTP library would not send.
// Other paths get a 404.
class RawServer {
  public:
    explicit RawServer(std::map<std::string, std::string> answers);
    ~RawServer();
    RawServer(const RawServer&) = delete;
    RawServer& operator=(const RawServer&) = delete;

    std::string url(const std::string& path) const;

  private:
    void answerAll();

    const std::map<std::string, std::string> answers_;
    int listening_ = -1;
    int port_ = 0;
    std::thread thread_;
};

} // namespace sorvo::download::testing

#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <httplib.h>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace sorvo::download::testing {

// Deterministic bytes that differ from seed to seed.
std::string makePackage(std::size_t size, uint32_t seed = 1);

// How one answer serves a package.
struct Serving {
    std::string body;
    std::string etag;         // sent as ETag when not empty
    bool honourRanges = true; // answer "Range: bytes=N-" with 206 when If-Range matches
    bool chunked = false;     // no Content-Length
    int64_t cutAt = -1;       // close the connection once the package is sent up to here
    int64_t pauseAt = -1;     // stop sending here for pauseFor
    std::chrono::milliseconds pauseFor{0};
};

// Answers req from serving, handling Range and If-Range itself.
void serve(const httplib::Request& req, httplib::Response& res, const Serving& serving);

// What the server saw of one request.
struct SeenRequest {
    std::string path;
    std::string range;
    std::string ifRange;
    std::string authorization;
};

// An HTTP server on 127.0.0.1 with an ephemeral port, for one test.
class PackageServer {
  public:
    explicit PackageServer(const std::function<void(httplib::Server&)>& routes);
    ~PackageServer();

    std::string url(const std::string& path) const;
    std::vector<SeenRequest> requests() const;

  private:
    httplib::Server server_;
    int port_ = 0;
    std::thread thread_;
    mutable std::mutex mutex_;
    std::vector<SeenRequest> requests_;
};

} // namespace sorvo::download::testing

#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <httplib.h>
#include <map>
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
    std::chrono::milliseconds byteEvery{0}; // above 0: trickle, one byte at a time
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

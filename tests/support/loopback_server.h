#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <httplib.h>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace sorvo::testing {

// What the server saw of one request.
struct SeenRequest {
    std::string path;   // decoded
    std::string target; // as the request line carried it, still percent-encoded
    std::string range;
    std::string ifRange;
    std::string authorization;
};

// An HTTP (or, given a certificate, https) server on 127.0.0.1 with a free port, for one test or
// benchmark. It serves on a thread of its own from construction to destruction; `routes` sets up
// the answers before it listens, and again when it starts anew after stop(). It records every
// request as it arrives. Thread-safe except server(), which is for set-up before requests come.
class LoopbackServer {
  public:
    using Routes = std::function<void(httplib::Server&)>;
    struct Tls {
        std::string certificate;
        std::string key;
    };

    explicit LoopbackServer(Routes routes, Tls tls = {});
    ~LoopbackServer();
    LoopbackServer(const LoopbackServer&) = delete;
    LoopbackServer& operator=(const LoopbackServer&) = delete;

    // Goes away, as a site does when its server stops; start() comes back on the same port
    // (false when that port is taken meanwhile).
    void stop();
    bool start();

    int port() const { return port_; }
    bool https() const { return !tls_.certificate.empty(); }
    std::string host() const { return "127.0.0.1:" + std::to_string(port_); }
    std::string url(const std::string& path) const;

    std::vector<SeenRequest> requests() const;
    int requestsFor(const std::string& path) const;
    // Waits until `count` requests in all have arrived; false after `ceiling`.
    bool waitForRequests(std::size_t count, std::chrono::milliseconds ceiling) const;

    httplib::Server& server() { return *server_; }

  private:
    std::unique_ptr<httplib::Server> makeServer();
    void run();

    const Routes routes_;
    const Tls tls_;
    std::unique_ptr<httplib::Server> server_;
    std::thread thread_;
    int port_ = 0;
    mutable std::mutex mutex_;
    mutable std::condition_variable arrived_;
    std::vector<SeenRequest> requests_;
};

// How one answer serves a body: the faults a download meets.
struct Serving {
    std::string body;
    int status = 200;         // anything else is sent without a body
    std::string etag;         // sent as ETag when not empty
    bool honourRanges = true; // answer "Range: bytes=N-" with 206 when If-Range allows it
    bool needIfRange = false; // a range without an If-Range naming etag gets the whole body
    bool chunked = false;     // no Content-Length
    int64_t cutAt = -1;       // close the connection once the body is sent up to here
    int64_t pauseAt = -1;     // stop sending here for pauseFor
    std::chrono::milliseconds pauseFor{0};
    std::chrono::milliseconds byteEvery{0}; // above 0: trickle, one byte at a time
    int64_t bytesPerSecond = 0;             // above 0: a tenth of it every 100 ms
    // Told once an answer with a body has gone, on the server's thread: whether all of the body
    // went out, or the peer left before it had all.
    std::function<void(bool whole)> ended;
};

// Answers req from serving, handling Range and If-Range itself.
void serve(const httplib::Request& req, httplib::Response& res, Serving serving);

} // namespace sorvo::testing

#include "support/loopback_server.h"

#include <algorithm>
#include <atomic>

namespace sorvo::testing {

LoopbackServer::LoopbackServer(Routes routes, Tls tls)
    : routes_(std::move(routes)), tls_(std::move(tls)) {
    server_ = makeServer();
    port_ = server_->bind_to_any_port("127.0.0.1");
    run();
}

LoopbackServer::~LoopbackServer() {
    stop();
}

void LoopbackServer::stop() {
    if (!server_) return;
    server_->stop();
    thread_.join();
    server_.reset();
}

bool LoopbackServer::start() {
    if (server_) return true;
    auto server = makeServer();
    if (!server->bind_to_port("127.0.0.1", port_)) return false;
    server_ = std::move(server);
    run();
    return true;
}

std::string LoopbackServer::url(const std::string& path) const {
    return (https() ? "https://" : "http://") + host() + path;
}

std::vector<SeenRequest> LoopbackServer::requests() const {
    std::lock_guard lock(mutex_);
    return requests_;
}

int LoopbackServer::requestsFor(const std::string& path) const {
    std::lock_guard lock(mutex_);
    return static_cast<int>(std::count_if(requests_.begin(), requests_.end(),
                                          [&](const SeenRequest& r) { return r.path == path; }));
}

bool LoopbackServer::waitForRequests(std::size_t count, std::chrono::milliseconds ceiling) const {
    std::unique_lock lock(mutex_);
    return arrived_.wait_for(lock, ceiling, [&] { return requests_.size() >= count; });
}

std::unique_ptr<httplib::Server> LoopbackServer::makeServer() {
    std::unique_ptr<httplib::Server> server;
    if (https())
        server = std::make_unique<httplib::SSLServer>(tls_.certificate.c_str(), tls_.key.c_str());
    else
        server = std::make_unique<httplib::Server>();
    server->set_pre_routing_handler([this](const httplib::Request& req, httplib::Response&) {
        {
            std::lock_guard lock(mutex_);
            requests_.push_back({req.path, req.target, req.get_header_value("Range"),
                                 req.get_header_value("If-Range"),
                                 req.get_header_value("Authorization")});
        }
        arrived_.notify_all();
        return httplib::Server::HandlerResponse::Unhandled;
    });
    if (routes_) routes_(*server);
    return server;
}

void LoopbackServer::run() {
    // The socket listens from the bind on, so requests made before the loop runs just queue.
    thread_ = std::thread([server = server_.get()] { server->listen_after_bind(); });
    // A stop before the loop runs would be lost and the loop would never end.
    while (!server_->is_running())
        std::this_thread::yield();
}

namespace {

constexpr std::size_t pieceSize = 16 * 1024;

// "bytes=N-", the only form the downloader sends; -1 for anything else.
int64_t rangeStart(const std::string& header) {
    if (header.rfind("bytes=", 0) != 0 || header.back() != '-') return -1;
    try {
        return std::stoll(header.substr(6, header.size() - 7));
    } catch (const std::exception&) {
        return -1;
    }
}

// One answer's body as it goes out; tells `ended` when the answer is done with.
struct Answer {
    const Serving serving;
    std::atomic<bool> whole{false};
    ~Answer() {
        if (serving.ended) serving.ended(whole);
    }
};

// Sends the body from `position` on, one piece, honouring the cut, the pause and the pace.
bool sendPiece(std::size_t position, Answer& answer, httplib::DataSink& sink) {
    const Serving& serving = answer.serving;
    const auto at = static_cast<int64_t>(position);
    if (at == serving.pauseAt) std::this_thread::sleep_for(serving.pauseFor);
    int64_t end = std::min<int64_t>(at + static_cast<int64_t>(pieceSize),
                                    static_cast<int64_t>(serving.body.size()));
    if (serving.cutAt >= 0 && at >= serving.cutAt) return false;
    if (serving.cutAt >= 0) end = std::min(end, serving.cutAt);
    if (serving.pauseAt > at) end = std::min(end, serving.pauseAt);
    if (serving.byteEvery.count() > 0) {
        std::this_thread::sleep_for(serving.byteEvery);
        end = at + 1;
    }
    if (serving.bytesPerSecond > 0) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        end = std::min(end, at + std::max<int64_t>(serving.bytesPerSecond / 10, 1));
    }
    if (!sink.write(serving.body.data() + position, static_cast<std::size_t>(end - at)))
        return false;
    if (end == static_cast<int64_t>(serving.body.size())) answer.whole = true;
    return true;
}

} // namespace

void serve(const httplib::Request& req, httplib::Response& res, Serving given) {
    res.status = given.status;
    if (given.status != 200) return;
    const auto answer = std::make_shared<Answer>(std::move(given));
    const Serving* serving = &answer->serving;
    // The library would otherwise cut the answer to the requested range a second time.
    const_cast<httplib::Request&>(req).ranges.clear();
    std::size_t from = 0;
    const int64_t start = rangeStart(req.get_header_value("Range"));
    const bool sameVersion = req.has_header("If-Range")
                                 ? req.get_header_value("If-Range") == serving->etag
                                 : !serving->needIfRange;
    if (serving->honourRanges && start >= 0 && sameVersion &&
        start < static_cast<int64_t>(serving->body.size())) {
        from = static_cast<std::size_t>(start);
        res.status = 206;
        res.set_header("Content-Range", "bytes " + std::to_string(from) + "-" +
                                            std::to_string(serving->body.size() - 1) + "/" +
                                            std::to_string(serving->body.size()));
    }
    if (!serving->etag.empty()) res.set_header("ETag", serving->etag);
    answer->whole = from == serving->body.size();
    const std::string type = "application/octet-stream";
    if (serving->chunked) {
        res.set_chunked_content_provider(
            type, [answer, from](std::size_t offset, httplib::DataSink& sink) {
                if (from + offset >= answer->serving.body.size()) {
                    sink.done();
                    return true;
                }
                return sendPiece(from + offset, *answer, sink);
            });
        return;
    }
    res.set_content_provider(
        serving->body.size() - from, type,
        [answer, from](std::size_t offset, std::size_t, httplib::DataSink& sink) {
            return sendPiece(from + offset, *answer, sink);
        });
}

} // namespace sorvo::testing

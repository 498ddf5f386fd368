#include "package_server.h"

#include <algorithm>
#include <random>

namespace sorvo::download::testing {

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

// Sends body[from, to) in pieces, honouring the cut and the pause of serving.
bool sendPiece(std::size_t offset, std::size_t from, const Serving& serving,
               httplib::DataSink& sink) {
    const auto position = static_cast<int64_t>(from + offset);
    if (position == serving.pauseAt) std::this_thread::sleep_for(serving.pauseFor);
    int64_t end = std::min<int64_t>(position + static_cast<int64_t>(pieceSize),
                                    static_cast<int64_t>(serving.body.size()));
    if (serving.cutAt >= 0 && position >= serving.cutAt) return false;
    if (serving.cutAt >= 0) end = std::min(end, serving.cutAt);
    if (serving.pauseAt > position) end = std::min(end, serving.pauseAt);
    return sink.write(serving.body.data() + position, static_cast<std::size_t>(end - position));
}

} // namespace

std::string makePackage(std::size_t size, uint32_t seed) {
    std::mt19937 random(seed);
    std::string bytes(size, '\0');
    std::generate(bytes.begin(), bytes.end(), [&] { return static_cast<char>(random()); });
    return bytes;
}

void serve(const httplib::Request& req, httplib::Response& res, const Serving& serving) {
    // The library would otherwise cut the answer to the requested range a second time.
    const_cast<httplib::Request&>(req).ranges.clear();
    std::size_t from = 0;
    const int64_t start = rangeStart(req.get_header_value("Range"));
    const bool sameVersion =
        !req.has_header("If-Range") || req.get_header_value("If-Range") == serving.etag;
    if (serving.honourRanges && start >= 0 && sameVersion &&
        start < static_cast<int64_t>(serving.body.size())) {
        from = static_cast<std::size_t>(start);
        res.status = 206;
        res.set_header("Content-Range", "bytes " + std::to_string(from) + "-" +
                                            std::to_string(serving.body.size() - 1) + "/" +
                                            std::to_string(serving.body.size()));
    }
    if (!serving.etag.empty()) res.set_header("ETag", serving.etag);
    const std::string type = "application/octet-stream";
    if (serving.chunked) {
        res.set_chunked_content_provider(
            type, [serving, from](std::size_t offset, httplib::DataSink& sink) {
                if (from + offset >= serving.body.size()) {
                    sink.done();
                    return true;
                }
                return sendPiece(offset, from, serving, sink);
            });
        return;
    }
    res.set_content_provider(
        serving.body.size() - from, type,
        [serving, from](std::size_t offset, std::size_t, httplib::DataSink& sink) {
            return sendPiece(offset, from, serving, sink);
        });
}

PackageServer::PackageServer(const std::function<void(httplib::Server&)>& routes) {
    routes(server_);
    server_.set_pre_routing_handler([this](const httplib::Request& req, httplib::Response&) {
        std::lock_guard lock(mutex_);
        requests_.push_back({req.path, req.get_header_value("Range"),
                             req.get_header_value("If-Range"),
                             req.get_header_value("Authorization")});
        return httplib::Server::HandlerResponse::Unhandled;
    });
    port_ = server_.bind_to_any_port("127.0.0.1");
    // The socket listens from the bind on, so requests made before the loop runs just queue.
    thread_ = std::thread([this] { server_.listen_after_bind(); });
}

PackageServer::~PackageServer() {
    server_.stop();
    thread_.join();
}

std::string PackageServer::url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + path;
}

std::vector<SeenRequest> PackageServer::requests() const {
    std::lock_guard lock(mutex_);
    return requests_;
}

} // namespace sorvo::download::testing

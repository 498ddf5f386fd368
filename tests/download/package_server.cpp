#include "package_server.h"

#include <algorithm>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <random>
#include <sys/socket.h>
#include <unistd.h>

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
    if (serving.byteEvery.count() > 0) {
        std::this_thread::sleep_for(serving.byteEvery);
        end = position + 1;
    }
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
    // A stop before the loop runs would be lost and the loop would never end: a test that asks
    // nothing of the server ends that quickly.
    while (!server_.is_running())
        std::this_thread::yield();
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

RawServer::RawServer(std::map<std::string, std::string> answers) : answers_(std::move(answers)) {
    listening_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (::bind(listening_, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
        ::listen(listening_, 8) != 0 ||
        ::getsockname(listening_, reinterpret_cast<sockaddr*>(&address), &length) != 0)
        throw std::runtime_error("cannot listen on 127.0.0.1");
    port_ = ntohs(address.sin_port);
    thread_ = std::thread([this] { answerAll(); });
}

// Shutting the listening socket down wakes the accept.
RawServer::~RawServer() {
    ::shutdown(listening_, SHUT_RDWR);
    thread_.join();
    ::close(listening_);
}

std::string RawServer::url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + path;
}

void RawServer::answerAll() {
    while (true) {
        const int connection = ::accept4(listening_, nullptr, nullptr, SOCK_CLOEXEC);
        if (connection < 0) return;
        // The request ends with a blank line; a GET has no body.
        std::string request;
        char buffer[1024];
        while (request.find("\r\n\r\n") == std::string::npos) {
            const ssize_t n = ::recv(connection, buffer, sizeof buffer, 0);
            if (n <= 0) break;
            request.append(buffer, static_cast<std::size_t>(n));
        }
        // "GET <path> HTTP/1.1"
        const auto from = request.find(' ') + 1;
        const auto found = answers_.find(request.substr(from, request.find(' ', from) - from));
        const std::string answer = found != answers_.end()
                                       ? found->second
                                       : "HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\n\r\n";
        ::send(connection, answer.data(), answer.size(), MSG_NOSIGNAL);
        ::shutdown(connection, SHUT_WR);
        ::close(connection);
    }
}

} // namespace sorvo::download::testing

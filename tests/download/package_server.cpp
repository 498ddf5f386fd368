#include "package_server.h"

#include <algorithm>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <random>
#include <sys/socket.h>
#include <unistd.h>

namespace sorvo::download::testing {

std::string makePackage(std::size_t size, uint32_t seed) {
    std::mt19937 random(seed);
    std::string bytes(size, '\0');
    std::generate(bytes.begin(), bytes.end(), [&] { return static_cast<char>(random()); });
    return bytes;
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

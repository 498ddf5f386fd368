#include "support/connect_proxy.h"

#include <arpa/inet.h>
#include <cstdlib>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <stdexcept>
#include <sys/socket.h>
#include <unistd.h>

namespace sorvo::testing {

namespace {

constexpr std::string_view loopbackHost = "127.0.0.1:";

int listenOnLoopback(int& port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), length) != 0 || ::listen(fd, 8) != 0 ||
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0)
        throw std::runtime_error("cannot listen on 127.0.0.1");
    port = ntohs(address.sin_port);
    return fd;
}

int connectToLoopback(int port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<uint16_t>(port));
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) return fd;
    ::close(fd);
    return -1;
}

bool sendAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t sent = ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (sent <= 0) return false;
        bytes.remove_prefix(static_cast<std::size_t>(sent));
    }
    return true;
}

// Waits until fd has something to read or the proxy stops; false on the stop.
bool readable(int fd, int stop) {
    pollfd fds[] = {{fd, POLLIN, 0}, {stop, POLLIN, 0}};
    return ::poll(fds, 2, -1) > 0 && fds[1].revents == 0;
}

} // namespace

ConnectProxy::ConnectProxy() {
    listening_ = listenOnLoopback(port_);
    if (::pipe2(stop_, O_CLOEXEC) != 0) throw std::runtime_error("cannot make a pipe");
    acceptor_ = std::thread([this] { acceptAll(); });
}

ConnectProxy::~ConnectProxy() {
    ::close(stop_[1]);
    acceptor_.join();
    for (std::thread& relay : relays_)
        relay.join();
    ::close(stop_[0]);
    ::close(listening_);
}

std::string ConnectProxy::url() const {
    return "http://127.0.0.1:" + std::to_string(port_);
}

std::vector<std::string> ConnectProxy::tunnels() const {
    std::lock_guard lock(mutex_);
    return tunnels_;
}

void ConnectProxy::acceptAll() {
    while (readable(listening_, stop_[0])) {
        const int client = ::accept4(listening_, nullptr, nullptr, SOCK_CLOEXEC);
        if (client >= 0) relays_.emplace_back([this, client] { tunnel(client); });
    }
}

// "CONNECT 127.0.0.1:<port> HTTP/1.1" and the rest of the head; bytes after the head go to early.
std::string ConnectProxy::target(int client, std::string& early) {
    std::string head;
    char buffer[1024];
    std::size_t end;
    while ((end = head.find("\r\n\r\n")) == std::string::npos) {
        if (!readable(client, stop_[0])) return {};
        const ssize_t n = ::recv(client, buffer, sizeof buffer, 0);
        if (n <= 0) return {};
        head.append(buffer, static_cast<std::size_t>(n));
    }
    early = head.substr(end + 4);
    const std::string_view method = "CONNECT ";
    if (!head.starts_with(method)) return {};
    return head.substr(method.size(), head.find(' ', method.size()) - method.size());
}

void ConnectProxy::tunnel(int client) {
    std::string early;
    const std::string to = target(client, early);
    {
        std::lock_guard lock(mutex_);
        tunnels_.push_back(to);
    }
    const int server = to.starts_with(loopbackHost)
                           ? connectToLoopback(std::atoi(to.c_str() + loopbackHost.size()))
                           : -1;
    if (server < 0) {
        sendAll(client, "HTTP/1.1 403 Forbidden\r\nContent-Length: 0\r\n\r\n");
        ::close(client);
        return;
    }
    bool open =
        sendAll(client, "HTTP/1.1 200 Connection established\r\n\r\n") && sendAll(server, early);
    char buffer[16 * 1024];
    while (open) {
        pollfd fds[] = {{client, POLLIN, 0}, {server, POLLIN, 0}, {stop_[0], POLLIN, 0}};
        if (::poll(fds, 3, -1) <= 0 || fds[2].revents != 0) break;
        for (int from = 0; from < 2 && open; ++from) {
            if (fds[from].revents == 0) continue;
            const ssize_t n = ::recv(fds[from].fd, buffer, sizeof buffer, 0);
            open = n > 0 && sendAll(fds[1 - from].fd, {buffer, static_cast<std::size_t>(n)});
        }
    }
    ::close(server);
    ::close(client);
}

} // namespace sorvo::testing

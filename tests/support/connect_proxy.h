#pragma once

#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace sorvo::testing {

// An HTTP proxy on 127.0.0.1 that only tunnels, as proxies do for https: it answers
// "CONNECT 127.0.0.1:<port>" with "200 Connection established" and then relays the bytes both
// ways. Any other request, or a tunnel to another host, gets a 403.
class ConnectProxy {
  public:
    ConnectProxy();
    ~ConnectProxy();
    ConnectProxy(const ConnectProxy&) = delete;
    ConnectProxy& operator=(const ConnectProxy&) = delete;

    // "http://127.0.0.1:<port>", as https_proxy takes it.
    std::string url() const;
    // The targets of the tunnels asked for, in order.
    std::vector<std::string> tunnels() const;

  private:
    void acceptAll();
    void tunnel(int client);
    std::string target(int client, std::string& early);

    int listening_ = -1;
    int port_ = 0;
    int stop_[2] = {-1, -1}; // a pipe whose read end turns readable when the proxy stops
    std::thread acceptor_;
    std::vector<std::thread> relays_; // touched by the acceptor only, until it is joined
    mutable std::mutex mutex_;
    std::vector<std::string> tunnels_;
};

} // namespace sorvo::testing

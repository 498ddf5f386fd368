#pragma once

#include "child_process.h"

#include <atomic>
#include <string>
#include <thread>
#include <vector>

// The demo service on a free loopback port, its request log read on a thread of its own: a page
// that asks for a channel's stream has started to play. Ends with the bench, however the bench
// ends. `options` go to the service as they are (see its usage).
class RadioService {
  public:
    explicit RadioService(const std::vector<std::string>& options = {});
    ~RadioService();
    RadioService(const RadioService&) = delete;
    RadioService& operator=(const RadioService&) = delete;

    // host:port; empty when the service did not start.
    const std::string& host() const { return host_; }
    std::string radioPage() const { return "http://" + host_ + "/diantai/sorvo/"; }
    // Requests for a channel's stream so far.
    int streamRequests() const { return streamRequests_; }

  private:
    void readLog();

    sorvo::test::ChildProcess process_;
    std::string host_;
    std::atomic<int> streamRequests_{0};
    std::atomic<bool> stopping_{false};
    std::thread reader_;
};

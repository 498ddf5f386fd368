#pragma once

#include "child_process.h"

#include <httplib.h>
#include <string>
#include <vector>

namespace sorvo::test {

inline const std::string packagePathGbk =
    "/download/%CB%F7%CE%D6%B5%E7%CC%A8_%C9%FD%BC%B6%B0%FC.exe";
inline const std::string packagePathUtf8 =
    "/download/%E7%B4%A2%E6%B2%83%E7%94%B5%E5%8F%B0_%E5%8D%87%E7%BA%A7%E5%8C%85.exe";

// The demo service on a port of its own choosing, for one group of tests.
class DemoService {
  public:
    explicit DemoService(const std::vector<std::string>& options = {});
    ~DemoService(); // asks the service to stop if the test has not

    int port() const { return port_; }
    httplib::Client client() const { return httplib::Client("127.0.0.1", port_); }

    // Sends SIGTERM and returns the exit status.
    int stop();

  private:
    ChildProcess process_;
    int port_ = 0;
    bool stopped_ = false;
};

} // namespace sorvo::test

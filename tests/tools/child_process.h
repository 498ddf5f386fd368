#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

namespace sorvo::test {

// A program started with its stdout on a pipe that the test reads; stderr stays the test's.
class ChildProcess {
  public:
    explicit ChildProcess(const std::vector<std::string>& argv);
    ~ChildProcess(); // ends the child with SIGKILL if it still runs
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    pid_t pid() const { return pid_; }

    // The next line of output without its newline; nothing on end of output or timeout.
    std::optional<std::string> readLine(std::chrono::milliseconds timeout);

    // True once every writer of the pipe (the child and whatever inherited it) has closed it.
    bool outputClosedWithin(std::chrono::milliseconds timeout);

    // Waits for the child to end and returns its exit status, or -signal if a signal ended it.
    int wait();

  private:
    // Reads what is there; false on end of output or when nothing arrives in time.
    bool fill(std::chrono::milliseconds timeout);

    pid_t pid_ = -1;
    int output_ = -1;
    std::string pending_;
    bool reaped_ = false;
};

} // namespace sorvo::test

#pragma once

#include <string>
#include <sys/types.h>
#include <vector>

// Debian's chromium showing one page in an app window, the comparison point for the client's
// footprint. Each instance runs in a fresh folder of its own under /tmp whose path marks every
// process of the run, and in a process group of its own; the destructor ends all of them and
// removes the folder. Should the bench be ended by a signal, the group is killed with it.
class ChromiumApp {
  public:
    // The chromium executable on PATH, or an empty path.
    static std::string executable();

    // extraArguments go on chromium's command line before the page.
    explicit ChromiumApp(const std::string& url,
                         const std::vector<std::string>& extraArguments = {});
    ~ChromiumApp();
    ChromiumApp(const ChromiumApp&) = delete;
    ChromiumApp& operator=(const ChromiumApp&) = delete;

    pid_t pid() const { return pid_; }
    // A text found in the command line of each of this run's processes, helpers that leave the
    // process group included.
    const std::string& marker() const { return folder_; }

  private:
    std::string folder_;
    pid_t pid_ = -1;
};

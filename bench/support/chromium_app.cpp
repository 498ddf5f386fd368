#include "chromium_app.h"

#include "process_tree.h"

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <sstream>
#include <string>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using namespace std::chrono_literals;

std::atomic<pid_t> runningGroup{0};

void killRunningGroup(int signal) {
    if (const pid_t group = runningGroup.load(); group > 0) kill(-group, SIGKILL);
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

// For the signals that end the bench, unless it was told to ignore them (nohup).
void killRunningGroupOnSignals() {
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        struct sigaction current {};
        sigaction(signal, nullptr, &current);
        if (current.sa_handler != SIG_IGN) std::signal(signal, killRunningGroup);
    }
}

bool waitForExit(pid_t pid, std::chrono::milliseconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < deadline) {
        if (waitpid(pid, nullptr, WNOHANG) != 0) return true;
        std::this_thread::sleep_for(20ms);
    }
    return false;
}

// The environment chromium starts with. The crash handler keeps its database under the
// configuration folder, not the profile: pointing that into the run's folder keeps it off the
// real home and puts the marker on its command line too.
std::vector<std::string> environmentFor(const std::string& folder) {
    std::vector<std::string> environment;
    for (char** variable = environ; *variable; ++variable) {
        const std::string entry = *variable;
        if (entry.rfind("XDG_CONFIG_HOME=", 0) != 0 && entry.rfind("XDG_CACHE_HOME=", 0) != 0)
            environment.push_back(entry);
    }
    environment.push_back("XDG_CONFIG_HOME=" + folder + "/config");
    environment.push_back("XDG_CACHE_HOME=" + folder + "/cache");
    return environment;
}

// We run as root, where chromium insists on --no-sandbox. The rest keeps a fresh profile from
// asking questions or reaching a keyring, and keeps chromium off the network: no background
// fetches, no component updates, and no host but the loopback one resolves. Rendering, the GPU
// process and Debian's default flags (added by its launcher script) stay as a user gets them.
std::vector<std::string> argumentsFor(const std::string& folder, const std::string& url,
                                      const std::vector<std::string>& extra) {
    std::vector<std::string> arguments{"chromium",
                                       "--no-sandbox",
                                       "--user-data-dir=" + folder + "/profile",
                                       "--no-first-run",
                                       "--no-default-browser-check",
                                       "--password-store=basic",
                                       "--disable-background-networking",
                                       "--disable-component-update",
                                       "--host-resolver-rules=MAP * ~NOTFOUND, EXCLUDE 127.0.0.1"};
    arguments.insert(arguments.end(), extra.begin(), extra.end());
    arguments.push_back("--app=" + url);
    return arguments;
}

std::vector<char*> pointersTo(std::vector<std::string>& texts) {
    std::vector<char*> pointers;
    for (std::string& text : texts)
        pointers.push_back(text.data());
    pointers.push_back(nullptr);
    return pointers;
}

} // namespace

std::string ChromiumApp::executable() {
    const char* path = std::getenv("PATH");
    std::istringstream folders(path ? path : "");
    std::string folder;
    while (std::getline(folders, folder, ':'))
        if (!folder.empty() && access((folder + "/chromium").c_str(), X_OK) == 0)
            return folder + "/chromium";
    return {};
}

ChromiumApp::ChromiumApp(const std::string& url, const std::vector<std::string>& extraArguments) {
    char folder[] = "/tmp/bench-startup-chromium-XXXXXX";
    const std::string program = executable();
    if (program.empty() || !mkdtemp(folder)) return;
    folder_ = folder;
    // Built before the fork: the child of a threaded process may only make plain system calls.
    auto arguments = argumentsFor(folder_, url, extraArguments);
    auto environment = environmentFor(folder_);
    const auto argv = pointersTo(arguments);
    const auto envp = pointersTo(environment);
    killRunningGroupOnSignals();
    pid_ = fork();
    if (pid_ == 0) {
        // Dies with the bench, however the bench ends.
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        setpgid(0, 0);
        const int quiet = open("/dev/null", O_WRONLY);
        dup2(quiet, STDOUT_FILENO);
        dup2(quiet, STDERR_FILENO);
        execve(program.c_str(), argv.data(), envp.data());
        _exit(127);
    }
    // Also here, so the group exists before anything signals it.
    if (pid_ > 0) {
        setpgid(pid_, pid_);
        runningGroup = pid_;
    }
}

ChromiumApp::~ChromiumApp() {
    if (folder_.empty()) return;
    if (pid_ > 0) {
        kill(-pid_, SIGTERM);
        if (!waitForExit(pid_, 5s)) {
            kill(-pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
        kill(-pid_, SIGKILL);
        runningGroup = 0;
    }
    // Helpers outside the group (the crash handler) go with the marker.
    const auto deadline = std::chrono::steady_clock::now() + 5s;
    for (auto left = processesWithArgument(folder_); !left.empty();
         left = processesWithArgument(folder_)) {
        if (std::chrono::steady_clock::now() > deadline) {
            std::fprintf(stderr, "chromium: %zu processes of %s would not end\n", left.size(),
                         folder_.c_str());
            break;
        }
        for (pid_t pid : left)
            kill(pid, SIGKILL);
        std::this_thread::sleep_for(50ms);
    }
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
}

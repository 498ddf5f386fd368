#include "exit_probe.h"

#include "eventually.h"

#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace sorvo::download::testing {

namespace {

constexpr auto probeLimit = std::chrono::seconds(10);

// Reads from fd until the text has come or the deadline has passed.
bool readUntil(int fd, const std::string& text, std::chrono::steady_clock::time_point deadline) {
    std::string seen;
    char buffer[256];
    while (seen.find(text) == std::string::npos) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        pollfd ready{fd, POLLIN, 0};
        if (left.count() <= 0 || ::poll(&ready, 1, static_cast<int>(left.count())) <= 0)
            return false;
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n <= 0) return false;
        seen.append(buffer, static_cast<std::size_t>(n));
    }
    return true;
}

// The environment of this process, less the thread checker's pause at exit, which would be
// timed as the probe's.
std::vector<std::string> probeEnvironment() {
    std::vector<std::string> variables;
    std::string checker = "TSAN_OPTIONS=atexit_sleep_ms=0";
    for (char** variable = environ; *variable; ++variable) {
        const std::string text = *variable;
        if (text.starts_with("TSAN_OPTIONS="))
            checker = text + ":atexit_sleep_ms=0";
        else
            variables.push_back(text);
    }
    variables.push_back(checker);
    return variables;
}

std::vector<char*> pointersTo(std::vector<std::string>& texts) {
    std::vector<char*> pointers;
    for (std::string& text : texts)
        pointers.push_back(text.data());
    pointers.push_back(nullptr);
    return pointers;
}

} // namespace

ProbeExit runExitProbe(const std::string& url, const std::string& target) {
    int out[2];
    if (::pipe2(out, O_CLOEXEC) != 0) return {};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    std::vector<std::string> args = {SORVO_EXIT_PROBE, url, target};
    std::vector<std::string> environment = probeEnvironment();
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, SORVO_EXIT_PROBE, &actions, nullptr,
                                    pointersTo(args).data(), pointersTo(environment).data());
    posix_spawn_file_actions_destroy(&actions);
    ::close(out[1]);
    if (spawned != 0) {
        ::close(out[0]);
        return {};
    }

    ProbeExit exit;
    const auto deadline = std::chrono::steady_clock::now() + probeLimit;
    const bool left = readUntil(out[0], "leaving main\n", deadline);
    int status = 0;
    exit.ended = left && eventually([&] { return ::waitpid(pid, &status, WNOHANG) == pid; },
                                    std::chrono::duration_cast<std::chrono::milliseconds>(
                                        deadline - std::chrono::steady_clock::now()));
    ::close(out[0]);
    if (!exit.ended) {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, &status, 0);
        return exit;
    }
    exit.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return exit;
}

} // namespace sorvo::download::testing

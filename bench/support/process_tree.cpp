#include "process_tree.h"

#include <algorithm>
#include <cstdlib>
#include <dirent.h>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

// The fields of /proc/<pid>/stat after the command name, which may hold spaces: they resume
// after its closing parenthesis, starting with the state (field 3).
std::istringstream statFieldsAfterName(const std::string& pid) {
    std::ifstream stat("/proc/" + pid + "/stat");
    std::string line;
    std::getline(stat, line);
    const auto close = line.rfind(')');
    return std::istringstream(close == std::string::npos ? std::string() : line.substr(close + 2));
}

// The numbered entries of a /proc folder: processes, or the threads of one.
std::vector<pid_t> numberedEntries(const std::string& folder) {
    std::vector<pid_t> ids;
    DIR* listing = opendir(folder.c_str());
    if (listing == nullptr) return ids;
    while (dirent* entry = readdir(listing)) {
        const pid_t id = static_cast<pid_t>(std::atoi(entry->d_name));
        if (id > 0) ids.push_back(id);
    }
    closedir(listing);
    return ids;
}

std::vector<pid_t> allProcesses() {
    return numberedEntries("/proc");
}

std::map<pid_t, pid_t> parentsOfAllProcesses() {
    std::map<pid_t, pid_t> parents;
    for (pid_t pid : allProcesses()) {
        std::istringstream rest = statFieldsAfterName(std::to_string(pid));
        char state = 0;
        pid_t parent = 0;
        if (rest >> state >> parent) parents[pid] = parent;
    }
    return parents;
}

// The arguments joined by NULs, as the kernel keeps them.
std::string commandLine(pid_t pid) {
    std::ifstream file("/proc/" + std::to_string(pid) + "/cmdline", std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

long pssKiB(pid_t pid) {
    std::ifstream rollup("/proc/" + std::to_string(pid) + "/smaps_rollup");
    std::string key;
    long value = 0;
    while (rollup >> key) {
        if (key == "Pss:") {
            rollup >> value;
            return value;
        }
        rollup.ignore(1 << 16, '\n');
    }
    return 0;
}

// utime and stime, fields 14 and 15, of a process or, with its task path, of one thread.
long cpuTicks(const std::string& pid) {
    std::istringstream rest = statFieldsAfterName(pid);
    std::string skipped;
    for (int field = 3; field < 14; ++field)
        rest >> skipped;
    long user = 0, system = 0;
    rest >> user >> system;
    return user + system;
}

std::vector<pid_t> processTree(pid_t root, const std::string& marker) {
    const auto parents = parentsOfAllProcesses();
    std::vector<pid_t> tree{root};
    if (!marker.empty())
        for (pid_t pid : processesWithArgument(marker))
            if (pid != root) tree.push_back(pid);
    // A marked process may descend from another or from root: count each once.
    const auto counted = [&tree](pid_t pid) {
        return std::find(tree.begin(), tree.end(), pid) != tree.end();
    };
    for (std::size_t i = 0; i < tree.size(); ++i)
        for (const auto& [pid, parent] : parents)
            if (parent == tree[i] && !counted(pid)) tree.push_back(pid);
    return tree;
}

} // namespace

long processTreePssKiB(pid_t root, const std::string& marker) {
    long total = 0;
    for (pid_t pid : processTree(root, marker))
        total += pssKiB(pid);
    return total;
}

std::map<pid_t, long> processTreeCpuTicks(pid_t root, const std::string& marker) {
    std::map<pid_t, long> ticks;
    for (pid_t pid : processTree(root, marker))
        ticks[pid] = cpuTicks(std::to_string(pid));
    return ticks;
}

std::map<pid_t, ThreadTicks> processTreeThreadTicks(pid_t root, const std::string& marker) {
    std::map<pid_t, ThreadTicks> threads;
    for (pid_t pid : processTree(root, marker)) {
        const std::string tasks = "/proc/" + std::to_string(pid) + "/task";
        for (pid_t tid : numberedEntries(tasks)) {
            const std::string task = std::to_string(pid) + "/task/" + std::to_string(tid);
            std::ifstream comm("/proc/" + task + "/comm");
            ThreadTicks thread;
            std::getline(comm, thread.name);
            thread.ticks = cpuTicks(task);
            threads[tid] = thread;
        }
    }
    return threads;
}

long cpuTicksBetween(const std::map<pid_t, long>& before, const std::map<pid_t, long>& after) {
    long total = 0;
    for (const auto& [pid, ticks] : after) {
        const auto earlier = before.find(pid);
        total += ticks - (earlier == before.end() ? 0 : earlier->second);
    }
    return total;
}

std::vector<pid_t> processesWithArgument(const std::string& text) {
    std::vector<pid_t> found;
    for (pid_t pid : allProcesses())
        if (commandLine(pid).find(text) != std::string::npos) found.push_back(pid);
    return found;
}

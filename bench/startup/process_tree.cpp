#include "process_tree.h"

#include <cstdlib>
#include <dirent.h>
#include <fstream>
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

std::map<pid_t, pid_t> parentsOfAllProcesses() {
    std::map<pid_t, pid_t> parents;
    DIR* proc = opendir("/proc");
    while (dirent* entry = readdir(proc)) {
        const pid_t pid = static_cast<pid_t>(std::atoi(entry->d_name));
        if (pid <= 0) continue;
        std::istringstream rest = statFieldsAfterName(entry->d_name);
        char state = 0;
        pid_t parent = 0;
        if (rest >> state >> parent) parents[pid] = parent;
    }
    closedir(proc);
    return parents;
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

// utime and stime, fields 14 and 15.
long cpuTicks(pid_t pid) {
    std::istringstream rest = statFieldsAfterName(std::to_string(pid));
    std::string skipped;
    for (int field = 3; field < 14; ++field)
        rest >> skipped;
    long user = 0, system = 0;
    rest >> user >> system;
    return user + system;
}

std::vector<pid_t> processTree(pid_t root) {
    const auto parents = parentsOfAllProcesses();
    std::vector<pid_t> tree{root};
    for (std::size_t i = 0; i < tree.size(); ++i)
        for (const auto& [pid, parent] : parents)
            if (parent == tree[i]) tree.push_back(pid);
    return tree;
}

} // namespace

long processTreePssKiB(pid_t root) {
    long total = 0;
    for (pid_t pid : processTree(root))
        total += pssKiB(pid);
    return total;
}

std::map<pid_t, long> processTreeCpuTicks(pid_t root) {
    std::map<pid_t, long> ticks;
    for (pid_t pid : processTree(root))
        ticks[pid] = cpuTicks(pid);
    return ticks;
}

long cpuTicksBetween(const std::map<pid_t, long>& before, const std::map<pid_t, long>& after) {
    long total = 0;
    for (const auto& [pid, ticks] : after) {
        const auto earlier = before.find(pid);
        total += ticks - (earlier == before.end() ? 0 : earlier->second);
    }
    return total;
}

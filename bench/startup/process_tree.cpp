#include "process_memory.h"

#include <cstdlib>
#include <dirent.h>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::map<pid_t, pid_t> parentsOfAllProcesses() {
    std::map<pid_t, pid_t> parents;
    DIR* proc = opendir("/proc");
    while (dirent* entry = readdir(proc)) {
        const pid_t pid = static_cast<pid_t>(std::atoi(entry->d_name));
        if (pid <= 0) continue;
        std::ifstream stat("/proc/" + std::string(entry->d_name) + "/stat");
        std::string line;
        std::getline(stat, line);
        // The command name may hold spaces: the fields resume after its closing parenthesis.
        const auto close = line.rfind(')');
        if (close == std::string::npos) continue;
        std::istringstream rest(line.substr(close + 2));
        char state = 0;
        pid_t parent = 0;
        rest >> state >> parent;
        parents[pid] = parent;
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

} // namespace

long processTreePssKiB(pid_t root) {
    const auto parents = parentsOfAllProcesses();
    std::vector<pid_t> tree{root};
    for (std::size_t i = 0; i < tree.size(); ++i)
        for (const auto& [pid, parent] : parents)
            if (parent == tree[i]) tree.push_back(pid);
    long total = 0;
    for (pid_t pid : tree)
        total += pssKiB(pid);
    return total;
}

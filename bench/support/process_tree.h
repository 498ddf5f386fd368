#pragma once

#include <map>
#include <string>
#include <sys/types.h>
#include <vector>

// Figures of a process and all its descendants, read from /proc (the browser engine runs in
// helper processes). A browser may also start helpers that leave the tree (a crash handler that
// detaches and is adopted by init); a non-empty marker adds every process whose command line
// contains it, with its own descendants.

// Proportional set size, in KiB.
long processTreePssKiB(pid_t root, const std::string& marker = {});

// CPU time (user + system) of each process of the tree so far, in clock ticks.
std::map<pid_t, long> processTreeCpuTicks(pid_t root, const std::string& marker = {});

// CPU time of each thread of the tree so far, by thread id, with the thread's name.
struct ThreadTicks {
    std::string name;
    long ticks = 0;
};
std::map<pid_t, ThreadTicks> processTreeThreadTicks(pid_t root, const std::string& marker = {});

// CPU ticks spent between two readings of the same tree. A process that started in between
// counts all its time; one that ended in between counts none of its last stretch.
long cpuTicksBetween(const std::map<pid_t, long>& before, const std::map<pid_t, long>& after);

// Live processes whose command line contains text; zombies have none and never match.
std::vector<pid_t> processesWithArgument(const std::string& text);

#pragma once

#include <map>
#include <sys/types.h>

// Figures of a process and all its descendants, read from /proc (the browser engine runs in
// helper processes).

// Proportional set size, in KiB.
long processTreePssKiB(pid_t root);

// CPU time (user + system) of each process of the tree so far, in clock ticks.
std::map<pid_t, long> processTreeCpuTicks(pid_t root);

// CPU ticks spent between two readings of the same tree. A process that started in between
// counts all its time; one that ended in between counts none of its last stretch.
long cpuTicksBetween(const std::map<pid_t, long>& before, const std::map<pid_t, long>& after);

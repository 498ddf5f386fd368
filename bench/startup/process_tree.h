#pragma once

#include <sys/types.h>

// Proportional set size, in KiB, of a process and all its descendants (the browser engine runs
// in helper processes).
long processTreePssKiB(pid_t root);

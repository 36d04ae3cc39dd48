// The CPU time this process has used, for tests that guard against work growing faster
// than its input: unlike the wall clock, it does not grow while a busy machine keeps the
// test waiting for a core.
#pragma once

#include <ctime>

inline double ProcessCpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

#pragma once

#include <sys/resource.h>

#include <ctime>

// Processor time of the calling thread, page faults it takes included. On a shared machine
// this tells the work of a single-threaded step from the time it spent waiting for a core.
inline double ThreadProcessorSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

// Page faults the calling thread has taken so far, minor and major.
inline double ThreadPageFaults() {
    rusage usage{};
    getrusage(RUSAGE_THREAD, &usage);
    return static_cast<double>(usage.ru_minflt + usage.ru_majflt);
}

#pragma once

#include <sys/resource.h>
#include <time.h>

#include <chrono>

using Clock = std::chrono::steady_clock;

inline double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

// Processor time of the whole process, the embedded engine's threads included: on a shared machine it says more
// than the wall clock, which other programs stretch.
// System time of the whole process (its part of the processor time): the kernel's side of the engine's page reads
// and forced writes.
inline double SystemSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_stime.tv_sec) + static_cast<double>(usage.ru_stime.tv_usec) / 1e6;
}

inline double ProcessorSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

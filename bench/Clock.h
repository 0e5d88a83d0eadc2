// Clock.h -- the benchmark's clocks: monotonic seconds, and the processor time of the whole process.
#pragma once

#include <chrono>
#include <ctime>

inline double nowSeconds() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// Seconds of processor time used so far by every thread of the process (the GL driver's included).
inline double processCpuSeconds() {
    timespec cpu{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &cpu);
    return static_cast<double>(cpu.tv_sec) + static_cast<double>(cpu.tv_nsec) * 1e-9;
}

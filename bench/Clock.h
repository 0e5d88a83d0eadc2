// Clock.h -- the benchmark's one clock: monotonic seconds as a double.
#pragma once

#include <chrono>

inline double nowSeconds() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

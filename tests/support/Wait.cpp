// Wait.cpp -- polling a condition against a deadline.
#include "support/Wait.h"

#include <algorithm>
#include <chrono>
#include <thread>

namespace omxtest {

bool waitUntil(const std::function<bool()>& done, double timeoutSeconds, double longestPollSeconds) {
    using Clock = std::chrono::steady_clock;
    using Seconds = std::chrono::duration<double>;
    const Clock::time_point deadline = Clock::now() + std::chrono::duration_cast<Clock::duration>(Seconds(timeoutSeconds));
    Seconds interval(0.001);
    const Seconds longest(longestPollSeconds);
    while (!done()) {
        const Clock::time_point now = Clock::now();
        if (now >= deadline) return false;
        std::this_thread::sleep_for(std::min({interval, longest, Seconds(deadline - now)}));
        interval *= 2.0;
    }
    return true;
}

}  // namespace omxtest

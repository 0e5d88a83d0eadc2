// Wait.h -- the one way a test lets time pass: until a condition holds or a deadline comes.
#pragma once

#include <functional>

namespace omxtest {

// Asks `done` at once and then again at short, growing intervals (never longer than `longestPollSeconds`)
// until it holds or `timeoutSeconds` have passed; asks one last time at the deadline. True when it held.
bool waitUntil(const std::function<bool()>& done, double timeoutSeconds, double longestPollSeconds = 0.05);

}  // namespace omxtest

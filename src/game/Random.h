// Random.h -- the draws the world's rules make from the C library generator, seeded once per world.
#pragma once

#include <cstdlib>

// One draw of 0..32767. The formulas expect a 15-bit generator; the C library may deliver up to RAND_MAX, so
// only the low 15 bits are used.
inline int draw15() { return std::rand() % 32768; }

// A value in [0, 1].
inline double randomUnit() { return draw15() / 32767.0; }

// Noise.h -- seeded random numbers and value noise (tileable 2-D, smooth 3-D) for the procedural art.
#pragma once

#include <cstdint>

namespace artgen {

// A small deterministic generator (PCG-style); the same seed gives the same sequence on every platform.
struct Rng {
    uint64_t state;
    explicit Rng(uint64_t seed);
    uint32_t next();
    float uniform();                      // [0, 1)
    float range(float low, float high);   // [low, high)
    int below(int n);                     // 0 .. n-1, n > 0
};

uint32_t hashCell(int x, int y, int z, uint32_t seed);

// Value noise in [0, 1] on a lattice that repeats every periodX by periodY cells (period <= 0: no repeat).
float valueNoise2(float x, float y, int periodX, int periodY, uint32_t seed);

// Fractal sum of value noise, normalised to [0, 1]. x and y are in lattice cells of the first octave;
// with a period the result repeats every periodX by periodY cells (each octave doubles both).
float fbm2(float x, float y, int octaves, int periodX, int periodY, uint32_t seed);

// Smooth 3-D value noise and its fractal sum, both in [0, 1]; used where no tiling is needed (the sky).
float valueNoise3(float x, float y, float z, uint32_t seed);
float fbm3(float x, float y, float z, int octaves, uint32_t seed);

// Distance to the nearest of a jittered grid of points, repeating every period cells; also reports
// the winning cell's hash so each cell can be coloured on its own (cracks, cobbles, spots).
float cellDistance2(float x, float y, int period, uint32_t seed, uint32_t* cellHash);

}  // namespace artgen

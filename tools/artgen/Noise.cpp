// Noise.cpp -- hash-based value noise: every value depends only on integer lattice hashes and the seed.
#include "Noise.h"

#include <cmath>

namespace artgen {

Rng::Rng(uint64_t seed) : state(seed * 6364136223846793005ULL + 1442695040888963407ULL) { next(); }

uint32_t Rng::next() {
    const uint64_t old = state;
    state = old * 6364136223846793005ULL + 1442695040888963407ULL;
    const uint32_t shifted = static_cast<uint32_t>(((old >> 18u) ^ old) >> 27u);
    const uint32_t rot = static_cast<uint32_t>(old >> 59u);
    return (shifted >> rot) | (shifted << ((32u - rot) & 31u));
}

float Rng::uniform() { return static_cast<float>(next() >> 8) / 16777216.0f; }

float Rng::range(float low, float high) { return low + (high - low) * uniform(); }

int Rng::below(int n) { return static_cast<int>(next() % static_cast<uint32_t>(n)); }

uint32_t hashCell(int x, int y, int z, uint32_t seed) {
    uint32_t h = seed * 0x9E3779B9u;
    h ^= static_cast<uint32_t>(x) * 0x85EBCA6Bu;
    h = (h << 13) | (h >> 19);
    h ^= static_cast<uint32_t>(y) * 0xC2B2AE35u;
    h = (h << 11) | (h >> 21);
    h ^= static_cast<uint32_t>(z) * 0x27D4EB2Fu;
    h ^= h >> 15;
    h *= 0x2C1B3C6Du;
    h ^= h >> 12;
    h *= 0x297A2D39u;
    h ^= h >> 15;
    return h;
}

namespace {

float unitHash(int x, int y, int z, uint32_t seed) {
    return static_cast<float>(hashCell(x, y, z, seed) >> 8) / 16777215.0f;
}

int wrap(int value, int period) {
    if (period <= 0) return value;
    const int m = value % period;
    return m < 0 ? m + period : m;
}

float smooth(float t) { return t * t * (3.0f - 2.0f * t); }

float mix(float a, float b, float t) { return a + (b - a) * t; }

}  // namespace

float valueNoise2(float x, float y, int periodX, int periodY, uint32_t seed) {
    const float fx = std::floor(x);
    const float fy = std::floor(y);
    const int ix = static_cast<int>(fx);
    const int iy = static_cast<int>(fy);
    const float tx = smooth(x - fx);
    const float ty = smooth(y - fy);
    const int x0 = wrap(ix, periodX), x1 = wrap(ix + 1, periodX);
    const int y0 = wrap(iy, periodY), y1 = wrap(iy + 1, periodY);
    const float a = mix(unitHash(x0, y0, 0, seed), unitHash(x1, y0, 0, seed), tx);
    const float b = mix(unitHash(x0, y1, 0, seed), unitHash(x1, y1, 0, seed), tx);
    return mix(a, b, ty);
}

float fbm2(float x, float y, int octaves, int periodX, int periodY, uint32_t seed) {
    float sum = 0.0f, amplitude = 1.0f, total = 0.0f;
    for (int o = 0; o < octaves; ++o) {
        sum += amplitude * valueNoise2(x, y, periodX, periodY, seed + static_cast<uint32_t>(o) * 1013u);
        total += amplitude;
        amplitude *= 0.5f;
        x *= 2.0f;
        y *= 2.0f;
        periodX *= 2;
        periodY *= 2;
    }
    return sum / total;
}

float valueNoise3(float x, float y, float z, uint32_t seed) {
    const float fx = std::floor(x), fy = std::floor(y), fz = std::floor(z);
    const int ix = static_cast<int>(fx), iy = static_cast<int>(fy), iz = static_cast<int>(fz);
    const float tx = smooth(x - fx), ty = smooth(y - fy), tz = smooth(z - fz);
    float layer[2];
    for (int k = 0; k < 2; ++k) {
        const float a = mix(unitHash(ix, iy, iz + k, seed), unitHash(ix + 1, iy, iz + k, seed), tx);
        const float b = mix(unitHash(ix, iy + 1, iz + k, seed), unitHash(ix + 1, iy + 1, iz + k, seed), tx);
        layer[k] = mix(a, b, ty);
    }
    return mix(layer[0], layer[1], tz);
}

float fbm3(float x, float y, float z, int octaves, uint32_t seed) {
    float sum = 0.0f, amplitude = 1.0f, total = 0.0f;
    for (int o = 0; o < octaves; ++o) {
        sum += amplitude * valueNoise3(x, y, z, seed + static_cast<uint32_t>(o) * 7919u);
        total += amplitude;
        amplitude *= 0.5f;
        x *= 2.0f;
        y *= 2.0f;
        z *= 2.0f;
    }
    return sum / total;
}

float cellDistance2(float x, float y, int period, uint32_t seed, uint32_t* cellHash) {
    const int cx = static_cast<int>(std::floor(x));
    const int cy = static_cast<int>(std::floor(y));
    float best = 1e9f;
    uint32_t bestHash = 0;
    for (int dy = -1; dy <= 1; ++dy) {
        for (int dx = -1; dx <= 1; ++dx) {
            const int gx = cx + dx, gy = cy + dy;
            const uint32_t h = hashCell(wrap(gx, period), wrap(gy, period), 7, seed);
            const float px = static_cast<float>(gx) + 0.15f + 0.7f * static_cast<float>(h & 0xFFFF) / 65535.0f;
            const float py = static_cast<float>(gy) + 0.15f + 0.7f * static_cast<float>(h >> 16) / 65535.0f;
            const float d = std::sqrt((px - x) * (px - x) + (py - y) * (py - y));
            if (d < best) {
                best = d;
                bestHash = h;
            }
        }
    }
    if (cellHash) *cellHash = bestHash;
    return best;
}

}  // namespace artgen

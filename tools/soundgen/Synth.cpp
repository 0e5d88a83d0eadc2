// Synth.cpp -- oscillators, filters, envelopes, reverb and loop helpers of the sound generator.
#include "Synth.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace soundgen {

Rng::Rng(uint64_t seed) : state(seed * 0x9E3779B97F4A7C15ull + 0x2545F4914F6CDD1Dull) {
    if (state == 0) state = 1;
}

uint32_t Rng::next() {
    state ^= state >> 12;
    state ^= state << 25;
    state ^= state >> 27;
    return static_cast<uint32_t>((state * 0x2545F4914F6CDD1Dull) >> 32);
}

float Rng::uniform() { return static_cast<float>(next() >> 8) * (1.0f / 16777216.0f); }
float Rng::symmetric() { return uniform() * 2.0f - 1.0f; }
float Rng::range(float lo, float hi) { return lo + (hi - lo) * uniform(); }

int secondsToSamples(double seconds) { return static_cast<int>(std::lround(seconds * kSampleRate)); }

float midiToHz(float midi) { return 440.0f * std::pow(2.0f, (midi - 69.0f) / 12.0f); }

const float* sineTable() {
    static const std::array<float, kSineTableSize + 1> table = [] {
        std::array<float, kSineTableSize + 1> t{};
        for (int i = 0; i <= kSineTableSize; ++i) t[i] = static_cast<float>(std::sin(2.0 * kPi * i / kSineTableSize));
        return t;
    }();
    return table.data();
}

float sawBlep(double phase, double increment) {
    double value = 2.0 * phase - 1.0;
    if (phase < increment) {
        const double t = phase / increment;
        value -= t + t - t * t - 1.0;
    } else if (phase > 1.0 - increment) {
        const double t = (phase - 1.0) / increment;
        value -= t * t + t + t + 1.0;
    }
    return static_cast<float>(value);
}

float Biquad::process(float x) {
    const float y = b0 * x + z1;
    z1 = b1 * x - a1 * y + z2;
    z2 = b2 * x - a2 * y;
    return y;
}

namespace {

struct BiquadBase {
    double cosw, alpha;
};

BiquadBase biquadBase(float hz, float q) {
    const double clamped = std::clamp(static_cast<double>(hz), 10.0, kSampleRate * 0.45);
    const double w = 2.0 * kPi * clamped / kSampleRate;
    return {std::cos(w), std::sin(w) / (2.0 * std::max(q, 0.05f))};
}

}  // namespace

void Biquad::setLowpass(float hz, float q) {
    const BiquadBase base = biquadBase(hz, q);
    const double a0 = 1.0 + base.alpha;
    b0 = static_cast<float>((1.0 - base.cosw) / 2.0 / a0);
    b1 = static_cast<float>((1.0 - base.cosw) / a0);
    b2 = b0;
    a1 = static_cast<float>(-2.0 * base.cosw / a0);
    a2 = static_cast<float>((1.0 - base.alpha) / a0);
}

void Biquad::setHighpass(float hz, float q) {
    const BiquadBase base = biquadBase(hz, q);
    const double a0 = 1.0 + base.alpha;
    b0 = static_cast<float>((1.0 + base.cosw) / 2.0 / a0);
    b1 = static_cast<float>(-(1.0 + base.cosw) / a0);
    b2 = b0;
    a1 = static_cast<float>(-2.0 * base.cosw / a0);
    a2 = static_cast<float>((1.0 - base.alpha) / a0);
}

void Biquad::setBandpass(float hz, float q) {
    const BiquadBase base = biquadBase(hz, q);
    const double a0 = 1.0 + base.alpha;
    b0 = static_cast<float>(base.alpha / a0);
    b1 = 0.0f;
    b2 = static_cast<float>(-base.alpha / a0);
    a1 = static_cast<float>(-2.0 * base.cosw / a0);
    a2 = static_cast<float>((1.0 - base.alpha) / a0);
}

void OnePole::setCutoff(float hz) {
    k = static_cast<float>(1.0 - std::exp(-2.0 * kPi * std::max(hz, 1.0f) / kSampleRate));
}

float OnePole::lowpass(float x) {
    y += k * (x - y);
    return y;
}

float OnePole::highpass(float x) { return x - lowpass(x); }

Reverb::Reverb(float roomSize, float dampingAmount)
    : feedback(0.7f + 0.28f * std::clamp(roomSize, 0.0f, 1.0f)), damping(0.4f * std::clamp(dampingAmount, 0.0f, 1.0f)) {
    static const int combLengths[8] = {1116, 1188, 1277, 1356, 1422, 1491, 1557, 1617};
    static const int allpassLengths[4] = {556, 441, 341, 225};
    for (int i = 0; i < 8; ++i) combs[i].buffer.assign(combLengths[i], 0.0f);
    for (int i = 0; i < 4; ++i) allpasses[i].buffer.assign(allpassLengths[i], 0.0f);
}

float Reverb::process(float x) {
    const float input = x * 0.015f;
    float out = 0.0f;
    for (Comb& comb : combs) {
        const float delayed = comb.buffer[comb.index];
        comb.filterStore = delayed * (1.0f - damping) + comb.filterStore * damping;
        comb.buffer[comb.index] = input + comb.filterStore * feedback;
        if (++comb.index == comb.buffer.size()) comb.index = 0;
        out += delayed;
    }
    for (Allpass& allpass : allpasses) {
        const float delayed = allpass.buffer[allpass.index];
        allpass.buffer[allpass.index] = out + delayed * 0.5f;
        if (++allpass.index == allpass.buffer.size()) allpass.index = 0;
        out = delayed - out;
    }
    return out;
}

void addReverb(Samples& sound, float roomSize, float damping, float wet, double tailSeconds) {
    sound.resize(sound.size() + secondsToSamples(tailSeconds), 0.0f);
    Reverb reverb(roomSize, damping);
    for (float& x : sound) x += wet * reverb.process(x);
}

void addReverbLooped(Samples& loop, float roomSize, float damping, float wet) {
    Reverb reverb(roomSize, damping);
    const Samples dry = loop;
    // Two silent-start passes settle the tail; the third pass is the periodic steady state.
    for (int pass = 0; pass < 2; ++pass)
        for (float x : dry) reverb.process(x);
    for (size_t i = 0; i < loop.size(); ++i) loop[i] = dry[i] + wet * reverb.process(dry[i]);
}

void addWrapped(Samples& loop, const Samples& src, long offset, float gain) {
    const long size = static_cast<long>(loop.size());
    if (size == 0) return;
    long position = ((offset % size) + size) % size;
    for (float x : src) {
        loop[position] += gain * x;
        if (++position == size) position = 0;
    }
}

void addGrowing(Samples& sound, const Samples& src, long offset, float gain) {
    if (offset < 0) offset = 0;
    const size_t end = static_cast<size_t>(offset) + src.size();
    if (sound.size() < end) sound.resize(end, 0.0f);
    for (size_t i = 0; i < src.size(); ++i) sound[offset + i] += gain * src[i];
}

void normalizePeak(Samples& sound, float peak) {
    float largest = 0.0f;
    for (float x : sound) largest = std::max(largest, std::fabs(x));
    if (largest <= 0.0f) return;
    const float scale = peak / largest;
    for (float& x : sound) x *= scale;
}

void fadeEdges(Samples& sound, double fadeInSeconds, double fadeOutSeconds) {
    const size_t fadeIn = std::min(sound.size(), static_cast<size_t>(secondsToSamples(fadeInSeconds)));
    const size_t fadeOut = std::min(sound.size(), static_cast<size_t>(secondsToSamples(fadeOutSeconds)));
    for (size_t i = 0; i < fadeIn; ++i)
        sound[i] *= static_cast<float>(0.5 - 0.5 * std::cos(kPi * i / fadeIn));
    for (size_t i = 0; i < fadeOut; ++i)
        sound[sound.size() - 1 - i] *= static_cast<float>(0.5 - 0.5 * std::cos(kPi * i / fadeOut));
}

float decay(double t, double tau) { return t < 0.0 ? 0.0f : static_cast<float>(std::exp(-t / tau)); }

float gate(double t, double attack, double releaseStart, double release) {
    if (t < 0.0) return 0.0f;
    double level = 1.0;
    if (t < attack) level = 0.5 - 0.5 * std::cos(kPi * t / attack);
    if (t > releaseStart) {
        const double r = (t - releaseStart) / release;
        level *= r >= 1.0 ? 0.0 : 0.5 + 0.5 * std::cos(kPi * r);
    }
    return static_cast<float>(level);
}

float softClip(float x) {
    if (std::fabs(x) < 0.5f) return x;
    const float sign = x < 0.0f ? -1.0f : 1.0f;
    const float excess = std::fabs(x) - 0.5f;
    return sign * (0.5f + 0.5f * std::tanh(excess * 2.0f));
}

}  // namespace soundgen

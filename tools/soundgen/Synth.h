// Synth.h -- building blocks of the sound generator: sample buffers, a seeded random source, oscillators,
// filters, envelopes, reverb and the helpers that make a buffer loop without a seam.
#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace soundgen {

// Every sound is mono float at this rate; full scale is +-1.
constexpr int kSampleRate = 44100;
constexpr double kPi = 3.14159265358979323846;

using Samples = std::vector<float>;

// xorshift64*: the same sequence on every run, independent of the C++ library's distributions.
struct Rng {
    uint64_t state;
    explicit Rng(uint64_t seed);
    uint32_t next();
    float uniform();    // [0, 1)
    float symmetric();  // [-1, 1)
    float range(float lo, float hi);
};

int secondsToSamples(double seconds);
float midiToHz(float midi);

// The shared sine table: kSineTableSize + 1 entries over one cycle (the last repeats the first).
constexpr int kSineTableSize = 4096;
const float* sineTable();

// Sine of a phase given in cycles (any value, also negative), from the shared table.
inline float sineCycles(double phase) {
    const double position = (phase - std::floor(phase)) * kSineTableSize;
    int index = static_cast<int>(position);
    if (index >= kSineTableSize) index = kSineTableSize - 1;
    const float fraction = static_cast<float>(position - index);
    const float* table = sineTable();
    return table[index] + (table[index + 1] - table[index]) * fraction;
}

// Band-limited sawtooth with a phase in cycles [0, 1) and the phase increment per sample (PolyBLEP).
float sawBlep(double phase, double increment);

// RBJ biquad; the coefficients may be changed between samples, the state is kept.
struct Biquad {
    float b0 = 1, b1 = 0, b2 = 0, a1 = 0, a2 = 0;
    float z1 = 0, z2 = 0;
    float process(float x);
    void setLowpass(float hz, float q);
    void setHighpass(float hz, float q);
    void setBandpass(float hz, float q);  // 0 dB at the centre
};

// One-pole smoother/lowpass: y += k (x - y), k from a cutoff in Hz.
struct OnePole {
    float k = 1, y = 0;
    void setCutoff(float hz);
    float lowpass(float x);
    float highpass(float x);
};

// Mono Freeverb-style room. roomSize 0..1 sets the tail, damping 0..1 darkens it.
struct Reverb {
    Reverb(float roomSize, float damping);
    float process(float x);  // wet signal only

    struct Comb {
        std::vector<float> buffer;
        size_t index = 0;
        float filterStore = 0;
    };
    struct Allpass {
        std::vector<float> buffer;
        size_t index = 0;
    };
    Comb combs[8];
    Allpass allpasses[4];
    float feedback;
    float damping;
};

// Adds the wet reverb to a one-shot sound, growing it by tailSeconds so the tail is not cut.
void addReverb(Samples& sound, float roomSize, float damping, float wet, double tailSeconds);

// Adds the wet reverb to a loop as if it had always been looping: the tail of the end rings on into the start.
void addReverbLooped(Samples& loop, float roomSize, float damping, float wet);

// Adds src into a loop at offset, wrapping around the end, so a note ringing past the end continues at the start.
void addWrapped(Samples& loop, const Samples& src, long offset, float gain);

// Adds src into a one-shot buffer at offset, growing the buffer as needed.
void addGrowing(Samples& sound, const Samples& src, long offset, float gain);

// Runs a stateful per-sample process over a loop twice and keeps the second pass, so the state at the end
// matches the state the start was computed with (exact for filters whose memory is shorter than the loop).
template <typename Process>
void processLooped(Samples& loop, Process process) {
    for (float x : loop) process(x);
    for (float& x : loop) x = process(x);
}

// Scales so the largest magnitude is peak (silence stays silence).
void normalizePeak(Samples& sound, float peak);

// Fades in over the first and out over the last given seconds (raised cosine), for one-shots.
void fadeEdges(Samples& sound, double fadeInSeconds, double fadeOutSeconds);

// Exponential decay exp(-t / tau) for t >= 0, 0 before.
float decay(double t, double tau);

// Smooth attack-hold-release gate: 0 -> 1 over attack, 1 until start of release, 1 -> 0 over release.
float gate(double t, double attack, double releaseStart, double release);

// Soft saturation that keeps small signals linear.
float softClip(float x);

}  // namespace soundgen

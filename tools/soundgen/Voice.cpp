// Voice.cpp -- additive formant synthesis: each harmonic of the pitch takes the loudness of the vowel's
// resonances at its frequency; breath is noise through the same resonances.
#include "Voice.h"

#include <algorithm>
#include <cmath>

namespace soundgen {

const Vowel kVowelA = {{730, 1090, 2440}, {1.0f, 0.55f, 0.25f}};
const Vowel kVowelO = {{470, 800, 2400}, {1.0f, 0.45f, 0.15f}};
const Vowel kVowelOo = {{310, 870, 2240}, {1.0f, 0.25f, 0.08f}};
const Vowel kVowelU = {{640, 1190, 2390}, {1.0f, 0.5f, 0.2f}};
const Vowel kVowelE = {{530, 1840, 2480}, {1.0f, 0.45f, 0.3f}};
const Vowel kVowelI = {{280, 2250, 3000}, {0.8f, 0.3f, 0.3f}};
const Vowel kVowelM = {{250, 1100, 2300}, {1.0f, 0.05f, 0.02f}};

Vowel blendVowels(const Vowel& a, const Vowel& b, float t) {
    Vowel v{};
    for (int i = 0; i < 3; ++i) {
        v.frequency[i] = a.frequency[i] + (b.frequency[i] - a.frequency[i]) * t;
        v.gain[i] = a.gain[i] + (b.gain[i] - a.gain[i]) * t;
    }
    return v;
}

namespace {

constexpr int kBlock = 64;
constexpr float kBandwidth[3] = {90.0f, 120.0f, 180.0f};
constexpr float kTopFrequency = 6000.0f;

// The utterance's parameters at time t (clamped to the first and last point).
VoicePoint pointAt(const std::vector<VoicePoint>& points, double t) {
    if (t <= points.front().time) return points.front();
    for (size_t i = 1; i < points.size(); ++i) {
        const VoicePoint& b = points[i];
        if (t <= b.time) {
            const VoicePoint& a = points[i - 1];
            const float u = b.time > a.time ? static_cast<float>((t - a.time) / (b.time - a.time)) : 1.0f;
            return {t, a.pitch + (b.pitch - a.pitch) * u, blendVowels(a.vowel, b.vowel, u),
                    a.voiced + (b.voiced - a.voiced) * u, a.breath + (b.breath - a.breath) * u};
        }
    }
    return points.back();
}

float resonance(float frequency, float centre, float bandwidth) {
    const float x = (frequency - centre) / (0.5f * bandwidth);
    return 1.0f / std::sqrt(1.0f + x * x);
}

// Harmonic amplitudes for one block; index k-1 holds harmonic k.
void harmonicAmplitudes(const Vowel& vowel, float pitch, const VoiceStyle& style, std::vector<float>& out) {
    const int count = static_cast<int>(out.size());
    for (int k = 1; k <= count; ++k) {
        const float f = pitch * k;
        float amplitude = 0.0f;
        if (f < kTopFrequency) {
            for (int i = 0; i < 3; ++i)
                amplitude += vowel.gain[i] * resonance(f, vowel.frequency[i] * style.formantScale, kBandwidth[i]);
            amplitude *= std::pow(static_cast<float>(k), -style.tilt) * (1.0f - f / kTopFrequency);
        }
        out[k - 1] = amplitude;
    }
}

}  // namespace

Samples speak(const std::vector<VoicePoint>& points, const VoiceStyle& style) {
    if (points.empty()) return {};
    const int total = secondsToSamples(points.back().time);
    Samples out(total, 0.0f);
    Rng rng(style.seed);

    float lowestPitch = points.front().pitch;
    for (const VoicePoint& p : points) lowestPitch = std::min(lowestPitch, p.pitch);
    const int harmonics = std::max(1, static_cast<int>(kTopFrequency / std::max(lowestPitch * 0.8f, 30.0f)));
    std::vector<float> current(harmonics), next(harmonics);

    Biquad breathFilters[3];
    Biquad breathTop;  // keeps the breath from hissing above the voice
    breathTop.setLowpass(4500.0f, 0.7f);
    double phase = 0.0, subPhase = 0.0;
    float wander = 0.0f, wanderTarget = 0.0f;
    const float normaliser = 0.35f;

    for (int blockStart = 0; blockStart < total; blockStart += kBlock) {
        const int blockEnd = std::min(total, blockStart + kBlock);
        const VoicePoint a = pointAt(points, static_cast<double>(blockStart) / kSampleRate);
        const VoicePoint b = pointAt(points, static_cast<double>(blockEnd) / kSampleRate);
        harmonicAmplitudes(a.vowel, a.pitch, style, current);
        harmonicAmplitudes(b.vowel, b.pitch, style, next);
        for (int i = 0; i < 3; ++i)
            breathFilters[i].setBandpass(a.vowel.frequency[i] * style.formantScale,
                                         a.vowel.frequency[i] / kBandwidth[i]);
        if ((blockStart / kBlock) % 32 == 0) wanderTarget = rng.symmetric();

        for (int n = blockStart; n < blockEnd; ++n) {
            const float u = static_cast<float>(n - blockStart) / kBlock;
            const double t = static_cast<double>(n) / kSampleRate;
            wander += (wanderTarget - wander) * 0.0004f;
            const float vibrato = style.vibratoSemitones * sineCycles(style.vibratoHz * t);
            const float pitch = (a.pitch + (b.pitch - a.pitch) * u) * std::pow(2.0f, vibrato / 12.0f) *
                                (1.0f + style.jitter * wander);
            phase += pitch / kSampleRate;
            phase -= std::floor(phase);
            subPhase += 0.5 * pitch / kSampleRate;
            subPhase -= std::floor(subPhase);

            float voiced = 0.0f;
            for (int k = 0; k < harmonics; ++k) {
                const float amplitude = current[k] + (next[k] - current[k]) * u;
                if (amplitude > 1e-4f) voiced += amplitude * sineCycles(phase * (k + 1));
            }
            voiced += style.subOctave * sineCycles(subPhase);
            const float voicedLevel = a.voiced + (b.voiced - a.voiced) * u;

            const float noise = rng.symmetric();
            float breath = 0.0f;
            for (int i = 0; i < 3; ++i) breath += a.vowel.gain[i] * breathFilters[i].process(noise);
            breath = breathTop.process(breath);
            const float breathLevel = a.breath + (b.breath - a.breath) * u;

            out[n] = normaliser * (voicedLevel * voiced) + 0.8f * breathLevel * breath;
        }
    }
    return out;
}

}  // namespace soundgen

// LightningSounds.cpp -- the god's lightning: the humming pick beam, the thunder crack of a shot, and a
// struck person's zap and yelp.
#include <algorithm>
#include <cmath>

#include "Sounds.h"
#include "Voice.h"

namespace soundgen {

Samples makeLightningPick() {
    // One second of a 100 Hz electric buzz (whole cycles, so it loops), a thin whine and random sparks.
    const size_t length = static_cast<size_t>(kSampleRate);
    Samples loop(length, 0.0f);
    Rng rng(0x71C4);
    for (size_t n = 0; n < length; ++n) {
        const double cycle = static_cast<double>(n) / length;  // 0..1 over the loop
        float buzz = 0.0f;
        for (int k = 1; k <= 24; ++k) buzz += sineCycles(100.0 * k * cycle) / k * (k % 2 == 1 ? 1.0f : 0.6f);
        const float throb = 0.7f + 0.2f * sineCycles(4.0 * cycle) + 0.1f * sineCycles(11.0 * cycle + 0.25);
        const float whine = 0.08f * sineCycles(3200.0 * cycle + 0.3 * sineCycles(7.0 * cycle));
        loop[n] = 0.35f * throb * buzz + whine;
    }
    // Sparks are placed with wrap-around, so one crossing the end of the loop finishes at its start.
    const int sparkCount = 34;
    for (int i = 0; i < sparkCount; ++i) {
        Samples spark(secondsToSamples(rng.range(0.004f, 0.03f)), 0.0f);
        Biquad sizzle;
        sizzle.setHighpass(rng.range(2000.0f, 4500.0f), 0.7f);
        const double tau = spark.size() / (3.0 * kSampleRate);
        for (size_t n = 0; n < spark.size(); ++n)
            spark[n] = sizzle.process(rng.symmetric()) * decay(static_cast<double>(n) / kSampleRate, tau);
        addWrapped(loop, spark, static_cast<long>(rng.uniform() * length), rng.range(0.3f, 0.9f));
    }
    normalizePeak(loop, 0.8f);
    return loop;
}

Samples makeLightningShoot() {
    // "K-k-KRRACK": three fast bright cracks tearing into a ripping crackle that fills the first 0.4 s,
    // a short electric zap, then thunder rolling off. Cracks and crackle are driven together into saturation, so
    // the strike stays loud for the whole of its first moment rather than for a few milliseconds of its cracks.
    Rng rng(0x5A0);
    Samples strikes(secondsToSamples(1.7), 0.0f), roll(strikes.size(), 0.0f);
    Biquad bright, tear, soften, rumbleFilter;
    bright.setHighpass(600.0f, 0.6f);
    tear.setHighpass(900.0f, 0.6f);
    soften.setLowpass(7000.0f, 0.7f);  // the hiss above would only turn into coding noise
    rumbleFilter.setLowpass(220.0f, 0.7f);
    const double crackTimes[3] = {0.0, 0.025, 0.06};
    const float crackLevels[3] = {0.6f, 0.8f, 1.0f};
    float brown = 0.0f, flutter = 0.0f, flutterTarget = 1.0f, crackle = 0.0f;
    double zapPhase = 0.0;
    for (size_t n = 0; n < strikes.size(); ++n) {
        const double t = static_cast<double>(n) / kSampleRate;
        const float noise = rng.symmetric();
        float crack = 0.0f;
        for (int i = 0; i < 3; ++i) crack += crackLevels[i] * decay(t - crackTimes[i], 0.014);
        // Sparks of the tearing air: random snaps, each dying away within a few milliseconds.
        if (rng.uniform() < 400.0f / kSampleRate) crackle = std::max(crackle, rng.range(0.6f, 1.0f));
        crackle *= 0.9985f;
        const float ripping = tear.process(rng.symmetric()) * (0.45f + crackle) * (0.6f + 0.4f * decay(t, 0.1)) *
                              gate(t, 0.004, 0.2, 0.25);
        strikes[n] = soften.process(std::tanh(5.0f * (1.5f * bright.process(noise) * crack + ripping)));
        brown = 0.99f * brown + 0.15f * noise;
        if (n % 900 == 0) flutterTarget = rng.range(0.4f, 1.0f);
        flutter += (flutterTarget - flutter) * 0.002f;
        // The roll swells as the crackle dies away.
        const float rumble = rumbleFilter.process(brown) * flutter * gate(t - 0.12, 0.2, 0.1, 1.4);
        zapPhase += (350.0 + 2800.0 * std::exp(-t / 0.02)) / kSampleRate;
        const float zap = sineCycles(zapPhase) * decay(t, 0.04) * 0.1f;
        roll[n] = 0.35f * rumble + zap;
    }
    // The roll echoes off the land; the strike itself is right here, dry.
    addReverb(roll, 0.7f, 0.4f, 0.35f, 0.4);
    Samples out = roll;
    addGrowing(out, strikes, 0, 0.8f);
    fadeEdges(out, 0.0, 0.25);
    normalizePeak(out, 0.95f);
    return out;
}

Samples makePeopleShot() {
    // A short falling zap and, on top of it, a small person's "ai!".
    Rng rng(0x9E0);
    Samples out(secondsToSamples(0.12), 0.0f);
    Biquad fizz;
    fizz.setHighpass(3000.0f, 0.7f);
    double phase = 0.0;
    for (size_t n = 0; n < out.size(); ++n) {
        const double t = static_cast<double>(n) / kSampleRate;
        const double hz = 250.0 + 1700.0 * std::exp(-t / 0.05);
        const double increment = hz / kSampleRate;
        phase += increment;
        phase -= std::floor(phase);
        const float buzz = 0.6f + 0.4f * sineCycles(60.0 * t);
        out[n] = 0.6f * (0.5f * sawBlep(phase, increment) + 0.5f * fizz.process(rng.symmetric())) * buzz * gate(t, 0.002, 0.05, 0.07);
    }
    const Vowel small = kVowelA;
    const std::vector<VoicePoint> yelp = {
        {0.00, 480, small, 0.0f, 0.2f},
        {0.03, 620, small, 1.0f, 0.1f},
        {0.12, 760, blendVowels(kVowelA, kVowelI, 0.4f), 1.0f, 0.05f},
        {0.26, 430, kVowelI, 0.6f, 0.1f},
        {0.34, 380, kVowelI, 0.0f, 0.0f},
    };
    VoiceStyle style;
    style.formantScale = 1.35f;
    style.tilt = 0.9f;
    style.jitter = 0.03f;
    style.seed = 0x1E19;
    Samples voice = speak(yelp, style);
    normalizePeak(voice, 1.0f);
    addGrowing(out, voice, secondsToSamples(0.08), 1.6f);
    addReverb(out, 0.4f, 0.5f, 0.2f, 0.2);
    fadeEdges(out, 0.0, 0.05);
    normalizePeak(out, 0.9f);
    return out;
}

}  // namespace soundgen

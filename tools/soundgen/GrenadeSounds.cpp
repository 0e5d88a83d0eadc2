// GrenadeSounds.cpp -- the holy grenade's sounds (crafting, rolling, explosion), the apple bite and the
// settlement's warning bell.
#include <algorithm>
#include <cmath>

#include "Sounds.h"

namespace soundgen {

namespace {

// Partials of a struck object: frequency ratios, amplitudes and decay times.
struct StrikeRecipe {
    float ratios[4];
    float amplitudes[4];
    float decays[4];
};

// One strike: a noise click, ringing partials at baseHz and a low thud.
Samples strike(const StrikeRecipe& recipe, float baseHz, float clickHz, float thudHz, float velocity, Rng& rng) {
    Samples out(secondsToSamples(0.45), 0.0f);
    Biquad click;
    click.setBandpass(clickHz, 1.5f);
    double phases[4];
    for (double& p : phases) p = rng.uniform();
    for (size_t n = 0; n < out.size(); ++n) {
        const double t = static_cast<double>(n) / kSampleRate;
        float ring = 0.0f;
        for (int k = 0; k < 4; ++k) {
            phases[k] += baseHz * recipe.ratios[k] / kSampleRate;
            ring += recipe.amplitudes[k] * decay(t, recipe.decays[k]) * sineCycles(phases[k]);
        }
        const float noise = click.process(rng.symmetric()) * decay(t, 0.006) * 2.5f;
        const float thud = sineCycles(thudHz * t) * decay(t, 0.03);
        out[n] = velocity * (ring + noise + 0.7f * thud) * gate(t, 0.0003, 0.4, 0.05);
    }
    return out;
}

// Wandering low noise: white noise through two lowpass stages, computed as a loop, peak 1.
Samples loopedRumble(size_t length, float cutoffHz, Rng& rng) {
    Samples noise(length);
    for (float& x : noise) x = rng.symmetric();
    Biquad first, second;
    first.setLowpass(cutoffHz, 0.7f);
    second.setLowpass(cutoffHz, 0.7f);
    processLooped(noise, [&](float x) { return second.process(first.process(x)); });
    normalizePeak(noise, 1.0f);
    return noise;
}

}  // namespace

Samples makeGrenadeCrafting() {
    // Two stone masons over two bars at 100 per minute: a heavy hammer on every beat, a chisel tapping between,
    // never quite the same twice. The hammer's eight blows keep the loop's beat even across its loop point.
    const double beat = 0.6;
    Samples loop(secondsToSamples(beat * 8), 0.0f);
    Rng rng(0xC4AF7);
    const StrikeRecipe hammer = {{1.0f, 2.32f, 4.25f, 6.63f}, {1.0f, 0.45f, 0.25f, 0.12f}, {0.09f, 0.05f, 0.03f, 0.015f}};
    const StrikeRecipe chisel = {{1.0f, 1.87f, 2.9f, 4.4f}, {0.8f, 0.5f, 0.3f, 0.2f}, {0.035f, 0.025f, 0.02f, 0.01f}};
    const int hammerBeats[] = {0, 1, 2, 3, 4, 5, 6, 7};
    for (int i : hammerBeats) {
        const float velocity = i % 4 == 0 ? 1.0f : rng.range(0.75f, 0.9f);
        const Samples hit = strike(hammer, rng.range(700.0f, 860.0f), 2500.0f, 110.0f, velocity, rng);
        addWrapped(loop, hit, secondsToSamples(i * beat + rng.range(-0.01f, 0.01f)), 0.55f);
    }
    const double chiselTimes[] = {0.3, 0.45, 0.9, 1.5, 1.65, 1.95, 2.1, 2.7, 3.0, 3.15, 3.3, 3.9, 4.05, 4.5, 4.65};
    for (double t : chiselTimes) {
        const Samples tap = strike(chisel, rng.range(2300.0f, 2900.0f), 5000.0f, 300.0f, rng.range(0.45f, 0.7f), rng);
        addWrapped(loop, tap, secondsToSamples(t + rng.range(-0.008f, 0.008f)), 0.4f);
    }
    // Stone dust scraping under the hits, never quite still: the loop has no silent gap, at its loop point or
    // anywhere else.
    Samples scrape = loopedRumble(loop.size(), 3000.0f, rng);
    Biquad band;
    band.setHighpass(1500.0f, 0.7f);
    processLooped(scrape, [&](float x) { return band.process(x); });
    for (size_t n = 0; n < loop.size(); ++n) {
        const double t = static_cast<double>(n) / kSampleRate;
        const float sweep = 0.6f + 0.4f * sineCycles(t / beat);  // whole cycles over the loop
        loop[n] += 0.45f * sweep * scrape[n];
    }
    addReverbLooped(loop, 0.45f, 0.5f, 0.35f);
    normalizePeak(loop, 0.85f);
    return loop;
}

Samples makeGrenadeRolling() {
    // A heavy ball rolling over rough ground: deep rumble, a bump per turn, grit crunching under it.
    const double length = 4.8;
    Samples loop(secondsToSamples(length), 0.0f);
    Rng rng(0x2011);
    const Samples rumble = loopedRumble(loop.size(), 140.0f, rng);
    const Samples grumble = loopedRumble(loop.size(), 420.0f, rng);
    for (size_t n = 0; n < loop.size(); ++n) {
        const double cycle = static_cast<double>(n) / loop.size();
        const float wobble = 0.75f + 0.15f * sineCycles(4.0 * cycle) + 0.1f * sineCycles(9.0 * cycle + 0.3);
        loop[n] = 0.8f * wobble * rumble[n] + 0.4f * wobble * grumble[n];
    }
    const double bumps[] = {0.1, 0.72, 1.31, 1.9, 2.62, 3.05, 3.71, 4.33};
    for (double t : bumps) {
        Samples thud(secondsToSamples(0.35), 0.0f);
        const float hz = rng.range(48.0f, 62.0f);
        for (size_t n = 0; n < thud.size(); ++n) {
            const double s = static_cast<double>(n) / kSampleRate;
            thud[n] = sineCycles(hz * s) * gate(s, 0.02, 0.1, 0.25);
        }
        addWrapped(loop, thud, secondsToSamples(t), 0.45f);
    }
    Samples grit(loop.size(), 0.0f);
    for (size_t n = 0; n < grit.size(); ++n)
        if (rng.uniform() < 60.0f / kSampleRate) grit[n] = rng.symmetric();
    Biquad gritBand;
    gritBand.setBandpass(900.0f, 1.2f);
    Biquad gritSmear;
    gritSmear.setLowpass(2500.0f, 0.7f);
    processLooped(grit, [&](float x) { return gritSmear.process(gritBand.process(x)); });
    normalizePeak(grit, 1.0f);
    for (size_t n = 0; n < loop.size(); ++n) loop[n] += 0.12f * grit[n];
    normalizePeak(loop, 0.85f);
    return loop;
}

Samples makeGrenadeExplosion() {
    Rng rng(0xB00E);
    Samples out(secondsToSamples(3.2), 0.0f);
    Biquad crackFilter, bodyFilter, rumbleFilter;
    crackFilter.setHighpass(900.0f, 0.7f);
    rumbleFilter.setLowpass(90.0f, 0.8f);
    double boomPhase = 0.0;
    float brown = 0.0f;
    for (size_t n = 0; n < out.size(); ++n) {
        const double t = static_cast<double>(n) / kSampleRate;
        const float noise = rng.symmetric();
        brown = 0.995f * brown + 0.1f * noise;
        const float crack = crackFilter.process(noise) * decay(t, 0.018);
        boomPhase += (28.0 + 70.0 * std::exp(-t / 0.12)) / kSampleRate;
        const float boom = sineCycles(boomPhase) * decay(t, 0.45) * gate(t, 0.003, 10.0, 1.0);
        if (n % 32 == 0) bodyFilter.setLowpass(static_cast<float>(180.0 + 3200.0 * std::exp(-t / 0.18)), 0.8f);
        const float body = bodyFilter.process(noise) * decay(t, 0.45) * gate(t, 0.004, 10.0, 1.0);
        const float rumble = rumbleFilter.process(brown) * decay(t, 1.1);
        out[n] = 0.7f * crack + 1.3f * softClip(1.6f * boom) + 0.9f * body + 1.2f * rumble;
    }
    // Debris raining down: many small stone and wood impacts, thinning out.
    for (int i = 0; i < 70; ++i) {
        const double t = 0.25 + 2.4 * std::pow(rng.uniform(), 1.8);
        const bool chunk = rng.uniform() < 0.2f;
        const float centre = chunk ? rng.range(120.0f, 300.0f) : rng.range(900.0f, 5000.0f);
        Samples hit(secondsToSamples(chunk ? 0.12 : 0.05), 0.0f);
        Biquad band;
        band.setBandpass(centre, chunk ? 2.0f : rng.range(3.0f, 8.0f));
        for (size_t n = 0; n < hit.size(); ++n) {
            const double s = static_cast<double>(n) / kSampleRate;
            hit[n] = band.process(rng.symmetric()) * decay(s, chunk ? 0.03 : 0.008);
        }
        const float level = (chunk ? 1.4f : 0.9f) * rng.range(0.3f, 1.0f) * decay(t, 1.4);
        addGrowing(out, hit, secondsToSamples(t), level);
    }
    addReverb(out, 0.8f, 0.5f, 0.45f, 0.8);
    fadeEdges(out, 0.0, 0.3);
    normalizePeak(out, 0.95f);
    return out;
}

Samples makeApple() {
    // A crisp bite: a juicy pop, a burst of crunch grains, a second smaller crunch, and a faint sour note.
    Rng rng(0xA991E);
    Samples out(secondsToSamples(0.6), 0.0f);
    Biquad crunch, juice;
    crunch.setBandpass(2800.0f, 0.9f);
    juice.setBandpass(700.0f, 1.5f);
    double popPhase = 0.0;
    float grain = 0.0f;
    for (size_t n = 0; n < out.size(); ++n) {
        const double t = static_cast<double>(n) / kSampleRate;
        popPhase += (110.0 + 340.0 * std::exp(-t / 0.02)) / kSampleRate;
        const float pop = sineCycles(popPhase) * decay(t, 0.035);
        if (rng.uniform() < 0.004f) grain = rng.range(0.4f, 1.0f);
        grain *= 0.996f;
        const float noise = rng.symmetric();
        const float bite = decay(t, 0.07) + 0.5f * decay(t - 0.24, 0.05);
        const float grains = crunch.process(noise) * grain * bite * 3.0f;
        const float wet = juice.process(noise) * decay(t - 0.01, 0.05) * 0.8f;
        const float sour = (sineCycles(164.8 * t) + 0.6f * sineCycles(155.6 * t)) * gate(t - 0.2, 0.05, 0.15, 0.2) * 0.12f;
        out[n] = 0.9f * pop + grains + wet + sour;
    }
    fadeEdges(out, 0.0, 0.05);
    normalizePeak(out, 0.9f);
    return out;
}

Samples makeWarning() {
    // An electric alarm bell: the clapper strikes 22 times a second for half a second, then the bell rings out.
    // Short enough to sound once per 1.4 s blink of the wall.
    Rng rng(0xA1A4);
    Samples out(secondsToSamples(1.1), 0.0f);
    const float ratios[4] = {1.0f, 2.03f, 2.76f, 5.4f};
    const float amplitudes[4] = {1.0f, 0.5f, 0.35f, 0.15f};
    const float decays[4] = {0.5f, 0.3f, 0.2f, 0.08f};
    const float baseHz = 1180.0f;
    double phases[4] = {0, 0.2, 0.5, 0.7};
    const double strikePeriod = 1.0 / 22.0;
    const double ringingEnd = 0.5;
    for (size_t n = 0; n < out.size(); ++n) {
        const double t = static_cast<double>(n) / kSampleRate;
        // While the clapper runs every strike brightens the bell (a trill); afterwards it rings out.
        const double sinceStrike = std::fmod(std::min(t, ringingEnd), strikePeriod);
        const float trill = t < ringingEnd ? 0.55f + 0.45f * decay(sinceStrike, 0.012) : 0.55f;
        float ring = 0.0f;
        for (int k = 0; k < 4; ++k) {
            phases[k] += baseHz * ratios[k] / kSampleRate;
            const float partialDecay = static_cast<float>(std::exp(-(t > ringingEnd ? t - ringingEnd : 0.0) / decays[k]));
            ring += amplitudes[k] * partialDecay * sineCycles(phases[k]);
        }
        const float clapper = t < ringingEnd ? 0.15f * rng.symmetric() * decay(sinceStrike, 0.002) : 0.0f;
        out[n] = trill * ring * gate(t, 0.002, 10.0, 1.0) + clapper;
    }
    fadeEdges(out, 0.002, 0.08);
    normalizePeak(out, 0.9f);
    return out;
}

}  // namespace soundgen

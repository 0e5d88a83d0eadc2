// Instruments.cpp -- subtractive, additive and plucked-string instruments, and synthesized drums.
#include "Instruments.h"

#include <algorithm>
#include <cmath>

namespace soundgen {

namespace {

// Additive tone with a fixed harmonic recipe, a delayed vibrato and an attack/release gate.
struct AdditiveRecipe {
    const float* amplitudes;
    int count;
    double attack;
    double release;
    float vibratoSemitones;
    double vibratoDelay;
};

Samples additiveNote(float hz, double seconds, float velocity, const AdditiveRecipe& recipe, Rng& rng) {
    const double total = seconds + recipe.release;
    Samples out(secondsToSamples(total), 0.0f);
    double phase = rng.uniform();
    const double vibratoRate = rng.range(4.6f, 5.4f);
    for (size_t n = 0; n < out.size(); ++n) {
        const double t = static_cast<double>(n) / kSampleRate;
        const float depth = recipe.vibratoSemitones * std::clamp(static_cast<float>((t - recipe.vibratoDelay) / 0.3), 0.0f, 1.0f);
        const float frequency = hz * std::pow(2.0f, depth * sineCycles(vibratoRate * t) / 12.0f);
        phase += frequency / kSampleRate;
        phase -= std::floor(phase);
        float value = 0.0f;
        for (int k = 0; k < recipe.count; ++k)
            if (recipe.amplitudes[k] != 0.0f && frequency * (k + 1) < 16000.0f)
                value += recipe.amplitudes[k] * sineCycles(phase * (k + 1));
        out[n] = velocity * value * gate(t, recipe.attack, seconds, recipe.release);
    }
    return out;
}

// Detuned band-limited saws through a lowpass whose cutoff opens with the attack.
Samples sawPad(float hz, double seconds, float velocity, Rng& rng, double attack, double release, float cutoff) {
    Samples out(secondsToSamples(seconds + release), 0.0f);
    const float detune[3] = {-0.0045f, 0.0f, 0.0052f};
    double phases[3];
    for (double& p : phases) p = rng.uniform();
    Biquad filter;
    for (size_t n = 0; n < out.size(); ++n) {
        const double t = static_cast<double>(n) / kSampleRate;
        float value = 0.0f;
        for (int i = 0; i < 3; ++i) {
            const double increment = hz * (1.0 + detune[i]) / kSampleRate;
            phases[i] += increment;
            phases[i] -= std::floor(phases[i]);
            value += sawBlep(phases[i], increment);
        }
        const float level = gate(t, attack, seconds, release);
        if (n % 32 == 0) filter.setLowpass(cutoff * (0.5f + 0.5f * level) + hz, 0.7f);
        out[n] = velocity * 0.3f * filter.process(value) * level;
    }
    return out;
}

}  // namespace

Samples pluckedString(float hz, double seconds, float velocity, Rng& rng) {
    const double ring = seconds + 1.2;
    Samples out(secondsToSamples(ring), 0.0f);
    // The two-point average adds half a sample of delay, so the loop is shortened by it.
    const double period = kSampleRate / hz - 0.5;
    const int length = std::max(2, static_cast<int>(std::lround(period)));
    std::vector<float> line(length);
    OnePole brightness;
    brightness.setCutoff(1500.0f + 5000.0f * velocity);
    for (float& x : line) x = brightness.lowpass(rng.symmetric());
    float mean = 0.0f;
    for (float x : line) mean += x;
    mean /= length;
    for (float& x : line) x -= mean;
    int index = 0;
    float previous = 0.0f;
    const float sustain = hz > 600.0f ? 0.994f : 0.997f;
    for (size_t n = 0; n < out.size(); ++n) {
        const double t = static_cast<double>(n) / kSampleRate;
        const float current = line[index];
        const float damping = t > seconds + 0.25 ? 0.985f : sustain;
        line[index] = damping * 0.5f * (current + previous);
        previous = current;
        index = (index + 1) % length;
        out[n] = velocity * current * gate(t, 0.002, ring - 0.3, 0.3);
    }
    return out;
}

Samples warmPad(float hz, double seconds, float velocity, Rng& rng) {
    return sawPad(hz, seconds, velocity, rng, 0.35, 0.9, 2200.0f);
}

Samples darkPad(float hz, double seconds, float velocity, Rng& rng) {
    return sawPad(hz, seconds, velocity, rng, 0.7, 1.4, 900.0f);
}

Samples fluteLead(float hz, double seconds, float velocity, Rng& rng) {
    static const float amplitudes[] = {1.0f, 0.28f, 0.12f, 0.05f, 0.02f};
    Samples tone = additiveNote(hz, seconds, velocity, {amplitudes, 5, 0.045, 0.14, 0.18f, 0.18}, rng);
    Biquad breath;
    breath.setBandpass(hz * 2.0f, 2.0f);
    for (size_t n = 0; n < tone.size(); ++n) {
        const double t = static_cast<double>(n) / kSampleRate;
        const float chiff = 0.5f * decay(t, 0.03) + 0.12f;
        tone[n] += velocity * 0.25f * chiff * breath.process(rng.symmetric()) * gate(t, 0.01, seconds, 0.1);
    }
    return tone;
}

Samples reedLead(float hz, double seconds, float velocity, Rng& rng) {
    static const float amplitudes[] = {1.0f, 0.06f, 0.42f, 0.04f, 0.22f, 0.03f, 0.1f, 0.02f, 0.05f};
    return additiveNote(hz, seconds, velocity, {amplitudes, 9, 0.07, 0.18, 0.14f, 0.25}, rng);
}

Samples roundBass(float hz, double seconds, float velocity, Rng& rng) {
    const double release = 0.09;
    Samples out(secondsToSamples(seconds + release), 0.0f);
    double phase = rng.uniform();
    Biquad filter;
    for (size_t n = 0; n < out.size(); ++n) {
        const double t = static_cast<double>(n) / kSampleRate;
        const double increment = hz / kSampleRate;
        phase += increment;
        phase -= std::floor(phase);
        if (n % 32 == 0) filter.setLowpass(hz * (1.5f + 5.0f * decay(t, 0.08)), 0.9f);
        const float body = sineCycles(phase) + 0.45f * filter.process(sawBlep(phase, increment));
        const float level = (0.55f + 0.45f * decay(t, 0.18)) * decay(t, 1.6);
        out[n] = velocity * 0.6f * body * level * gate(t, 0.004, seconds, release);
    }
    return out;
}

Samples bellTone(float hz, double seconds, float velocity, Rng& rng) {
    static const float ratios[] = {0.5f, 1.0f, 1.19f, 1.5f, 2.0f, 2.52f, 2.99f, 4.16f};
    static const float amplitudes[] = {0.55f, 1.0f, 0.5f, 0.35f, 0.3f, 0.2f, 0.15f, 0.1f};
    static const float decays[] = {3.0f, 1.8f, 1.2f, 1.0f, 0.8f, 0.5f, 0.4f, 0.25f};
    const double ring = std::max(seconds, 2.5) + 0.5;
    Samples out(secondsToSamples(ring), 0.0f);
    double phases[8];
    for (double& p : phases) p = rng.uniform();
    for (size_t n = 0; n < out.size(); ++n) {
        const double t = static_cast<double>(n) / kSampleRate;
        float value = 0.0f;
        for (int k = 0; k < 8; ++k) {
            phases[k] += hz * ratios[k] / kSampleRate;
            value += amplitudes[k] * decay(t, decays[k]) * sineCycles(phases[k]);
        }
        out[n] = velocity * 0.3f * value * gate(t, 0.002, ring - 0.5, 0.5);
    }
    return out;
}

Samples glockenspiel(float hz, double seconds, float velocity, Rng& rng) {
    static const float ratios[] = {1.0f, 2.76f, 5.4f};
    static const float amplitudes[] = {1.0f, 0.25f, 0.1f};
    static const float decays[] = {0.9f, 0.25f, 0.08f};
    const double ring = seconds + 1.0;
    Samples out(secondsToSamples(ring), 0.0f);
    const double start = rng.uniform();
    for (size_t n = 0; n < out.size(); ++n) {
        const double t = static_cast<double>(n) / kSampleRate;
        float value = 0.0f;
        for (int k = 0; k < 3; ++k) value += amplitudes[k] * decay(t, decays[k]) * sineCycles(start + hz * ratios[k] * t);
        out[n] = velocity * 0.35f * value * gate(t, 0.001, ring - 0.3, 0.3);
    }
    return out;
}

Samples kickDrum(float velocity, Rng& rng) {
    Samples out(secondsToSamples(0.45), 0.0f);
    double phase = 0.0;
    Biquad click;
    click.setHighpass(2500.0f, 0.7f);
    for (size_t n = 0; n < out.size(); ++n) {
        const double t = static_cast<double>(n) / kSampleRate;
        phase += (46.0 + 100.0 * std::exp(-t / 0.03)) / kSampleRate;
        const float body = sineCycles(phase) * decay(t, 0.22);
        const float tick = 0.25f * click.process(rng.symmetric()) * decay(t, 0.004);
        out[n] = velocity * 0.9f * (body + tick) * gate(t, 0.0005, 0.4, 0.05);
    }
    return out;
}

Samples heartbeatKick(float velocity, Rng& rng) {
    Samples out(secondsToSamples(0.5), 0.0f);
    double phase = 0.0;
    OnePole soften;
    soften.setCutoff(400.0f);
    for (size_t n = 0; n < out.size(); ++n) {
        const double t = static_cast<double>(n) / kSampleRate;
        phase += (42.0 + 40.0 * std::exp(-t / 0.05)) / kSampleRate;
        const float body = sineCycles(phase) * decay(t, 0.2) + 0.05f * rng.symmetric() * decay(t, 0.02);
        out[n] = velocity * 0.9f * soften.lowpass(body) * gate(t, 0.004, 0.44, 0.06);
    }
    return out;
}

Samples snareDrum(float velocity, Rng& rng) {
    Samples out(secondsToSamples(0.3), 0.0f);
    Biquad band;
    band.setBandpass(3200.0f, 0.6f);
    Biquad air;
    air.setHighpass(6000.0f, 0.7f);
    for (size_t n = 0; n < out.size(); ++n) {
        const double t = static_cast<double>(n) / kSampleRate;
        const float noise = rng.symmetric();
        const float tone = sineCycles(185.0 * t) * decay(t, 0.045) + 0.5f * sineCycles(330.0 * t) * decay(t, 0.03);
        const float rattle = (band.process(noise) + 0.4f * air.process(noise)) * decay(t, 0.085);
        out[n] = velocity * 0.7f * (0.6f * tone + 1.1f * rattle) * gate(t, 0.0005, 0.25, 0.05);
    }
    return out;
}

Samples sideStick(float velocity, Rng& rng) {
    Samples out(secondsToSamples(0.12), 0.0f);
    Biquad wood;
    wood.setBandpass(1700.0f, 6.0f);
    for (size_t n = 0; n < out.size(); ++n) {
        const double t = static_cast<double>(n) / kSampleRate;
        const float knock = wood.process(rng.symmetric()) * 3.0f + sineCycles(820.0 * t) * 0.5f;
        out[n] = velocity * 0.5f * knock * decay(t, 0.018);
    }
    return out;
}

Samples closedHat(float velocity, Rng& rng) {
    Samples out(secondsToSamples(0.09), 0.0f);
    Biquad high;
    high.setHighpass(7500.0f, 0.8f);
    for (size_t n = 0; n < out.size(); ++n) {
        const double t = static_cast<double>(n) / kSampleRate;
        out[n] = velocity * 0.45f * high.process(rng.symmetric()) * decay(t, 0.022);
    }
    return out;
}

Samples openHat(float velocity, Rng& rng) {
    Samples out(secondsToSamples(0.5), 0.0f);
    Biquad high;
    high.setHighpass(6500.0f, 0.8f);
    for (size_t n = 0; n < out.size(); ++n) {
        const double t = static_cast<double>(n) / kSampleRate;
        out[n] = velocity * 0.35f * high.process(rng.symmetric()) * decay(t, 0.16) * gate(t, 0.001, 0.42, 0.08);
    }
    return out;
}

Samples shaker(float velocity, Rng& rng) {
    Samples out(secondsToSamples(0.12), 0.0f);
    Biquad band;
    band.setBandpass(5200.0f, 1.2f);
    for (size_t n = 0; n < out.size(); ++n) {
        const double t = static_cast<double>(n) / kSampleRate;
        out[n] = velocity * 0.5f * band.process(rng.symmetric()) * gate(t, 0.012, 0.03, 0.08);
    }
    return out;
}

Samples crashCymbal(float velocity, Rng& rng) {
    Samples out(secondsToSamples(2.0), 0.0f);
    Biquad high, shimmer;
    high.setHighpass(4000.0f, 0.7f);
    shimmer.setBandpass(9000.0f, 1.5f);
    for (size_t n = 0; n < out.size(); ++n) {
        const double t = static_cast<double>(n) / kSampleRate;
        const float noise = rng.symmetric();
        const float wash = high.process(noise) * decay(t, 0.55) + 0.8f * shimmer.process(noise) * decay(t, 0.9);
        out[n] = velocity * 0.35f * wash * gate(t, 0.002, 1.7, 0.3);
    }
    return out;
}

DrumVoice tunedDrum(float hz, double ringSeconds) {
    return [hz, ringSeconds](float velocity, Rng& rng) {
        Samples out(secondsToSamples(ringSeconds * 3.0), 0.0f);
        Biquad skin;
        skin.setLowpass(hz * 6.0f, 0.7f);
        double phase = 0.0;
        for (size_t n = 0; n < out.size(); ++n) {
            const double t = static_cast<double>(n) / kSampleRate;
            const double frequency = hz * (1.0 + 0.25 * std::exp(-t / 0.04));
            phase += frequency / kSampleRate;
            const float body = sineCycles(phase) + 0.35f * sineCycles(phase * 1.5) * decay(t, ringSeconds * 0.5) +
                               0.2f * sineCycles(phase * 1.98) * decay(t, ringSeconds * 0.4);
            const float thump = skin.process(rng.symmetric()) * decay(t, 0.025);
            out[n] = velocity * 0.7f * (body * decay(t, ringSeconds) + 0.6f * thump) *
                     gate(t, 0.001, ringSeconds * 2.6, ringSeconds * 0.4);
        }
        return out;
    };
}

}  // namespace soundgen

// SoundCharacterTest.cpp -- the effects fit their events as the player hears them: the god speaks in a deep
// voice, the explosion booms, the thunder cracks at once, the masons hammer in rhythm, the rolling grenade
// rumbles low, the warning bell rings where the ear is keenest.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "SoundDecoding.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

using soundtest::builtSound;
using soundtest::DecodedSound;

// Sound types, as the game numbers them.
constexpr int Apple = 2, Rolling = 3, Crafting = 4, Finished = 5, Explosion = 6, Shoot = 8, Regret = 10, Laugh1 = 11,
              Warning = 15;

std::vector<float> slice(const DecodedSound& sound, double fromSeconds, double toSeconds) {
    const size_t from = std::min(sound.samples.size(), static_cast<size_t>(fromSeconds * sound.sampleRate));
    const size_t to = std::min(sound.samples.size(), static_cast<size_t>(toSeconds * sound.sampleRate));
    return std::vector<float>(sound.samples.begin() + from, sound.samples.begin() + to);
}

// The energy-weighted mean frequency (Hz): from the energy of the signal and of its slope.
double meanFrequency(const std::vector<float>& x, int sampleRate) {
    double energy = 0.0, slopeEnergy = 0.0;
    for (size_t i = 1; i < x.size(); ++i) {
        energy += static_cast<double>(x[i]) * x[i];
        const double slope = static_cast<double>(x[i]) - x[i - 1];
        slopeEnergy += slope * slope;
    }
    return energy > 0.0 ? sampleRate / (2.0 * kPi) * std::sqrt(slopeEnergy / energy) : 0.0;
}

// Second-order lowpass (RBJ), Q 0.7.
std::vector<float> lowpass(const std::vector<float>& x, int sampleRate, double hz) {
    const double w = 2.0 * kPi * hz / sampleRate, alpha = std::sin(w) / 1.4, a0 = 1.0 + alpha;
    const double b0 = (1.0 - std::cos(w)) / 2.0 / a0, b1 = 2.0 * b0, a1 = -2.0 * std::cos(w) / a0, a2 = (1.0 - alpha) / a0;
    std::vector<float> y(x.size());
    double x1 = 0, x2 = 0, y1 = 0, y2 = 0;
    for (size_t i = 0; i < x.size(); ++i) {
        const double out = b0 * x[i] + b1 * x1 + b0 * x2 - a1 * y1 - a2 * y2;
        x2 = x1;
        x1 = x[i];
        y2 = y1;
        y1 = out;
        y[i] = static_cast<float>(out);
    }
    return y;
}

// Fundamental (Hz) of a voiced stretch by autocorrelation between 35 and 400 Hz; 0 when it is not periodic.
// The shortest lag that nearly matches the best one wins, so a quiet chest tone an octave down does not
// halve the pitch.
double pitchOf(const std::vector<float>& x, int sampleRate) {
    const int shortest = sampleRate / 400, longest = sampleRate / 35;
    if (x.size() < static_cast<size_t>(2 * longest)) return 0.0;
    const size_t span = x.size() - longest;
    double zeroLag = 0.0;
    for (size_t i = 0; i < span; ++i) zeroLag += static_cast<double>(x[i]) * x[i];
    std::vector<double> correlation(longest + 1, 0.0);
    for (int lag = shortest; lag <= longest; ++lag)
        for (size_t i = 0; i < span; ++i) correlation[lag] += static_cast<double>(x[i]) * x[i + lag];
    const double best = *std::max_element(correlation.begin(), correlation.end());
    if (zeroLag <= 0.0 || best < 0.3 * zeroLag) return 0.0;
    for (int lag = shortest + 1; lag < longest; ++lag)
        if (correlation[lag] >= 0.8 * best && correlation[lag] >= correlation[lag - 1] &&
            correlation[lag] >= correlation[lag + 1])
            return static_cast<double>(sampleRate) / lag;
    return 0.0;
}

// Loudness envelope in steps of the given seconds.
std::vector<double> envelope(const std::vector<float>& x, int sampleRate, double stepSeconds = 0.01) {
    const size_t step = static_cast<size_t>(sampleRate * stepSeconds);
    std::vector<double> out;
    for (size_t start = 0; start + step <= x.size(); start += step) {
        double sum = 0.0;
        for (size_t i = start; i < start + step; ++i) sum += static_cast<double>(x[i]) * x[i];
        out.push_back(std::sqrt(sum / step));
    }
    return out;
}

TEST(SoundCharacter, TheGodLaughsAndRegretsInADeepVoice) {
    for (int type : {Regret, Laugh1, Laugh1 + 1, Laugh1 + 2, Laugh1 + 3}) {
        const DecodedSound& sound = builtSound(type);
        ASSERT_TRUE(sound.loaded) << type;
        // Below the vowel's resonances only the voice's own low harmonics remain.
        const std::vector<float> low = lowpass(lowpass(sound.samples, sound.sampleRate, 200.0), sound.sampleRate, 200.0);
        // The pitch of every loud 60 ms stretch; a voice, not noise, so most stretches are periodic.
        std::vector<double> pitches;
        const std::vector<double> whole = envelope(sound.samples, sound.sampleRate);
        const double loudest = *std::max_element(whole.begin(), whole.end());
        for (double t = 0.0; t + 0.06 < sound.seconds(); t += 0.06) {
            const std::vector<float> stretch = slice(sound, t, t + 0.06);
            const size_t from = static_cast<size_t>(t * sound.sampleRate);
            const std::vector<float> lowStretch(low.begin() + from, low.begin() + from + stretch.size());
            const std::vector<double> level = envelope(stretch, sound.sampleRate);
            if (level.empty() || *std::min_element(level.begin(), level.end()) < 0.3 * loudest) continue;
            pitches.push_back(pitchOf(lowStretch, sound.sampleRate));
        }
        ASSERT_GE(pitches.size(), 3u) << "sound type " << type;
        std::sort(pitches.begin(), pitches.end());
        const double median = pitches[pitches.size() / 2];
        // A chest tone an octave below the voice may set the period; either way it is deep.
        EXPECT_GT(median, 35.0) << "sound type " << type;
        EXPECT_LT(median, 150.0) << "sound type " << type;
    }
}

TEST(SoundCharacter, TheExplosionBoomsAndTheThunderCracksAtOnce) {
    const DecodedSound& explosion = builtSound(Explosion);
    EXPECT_LT(meanFrequency(slice(explosion, 0.0, 1.0), explosion.sampleRate), 700.0);
    // Loudest at once, still rumbling and rattling a second later.
    const std::vector<double> boom = envelope(explosion.samples, explosion.sampleRate, 0.05);
    ASSERT_GT(boom.size(), 30u);
    const auto boomPeak = std::max_element(boom.begin(), boom.end());
    EXPECT_LT(boomPeak - boom.begin(), 10);
    EXPECT_GT(boom[24], 0.05 * *boomPeak);
    EXPECT_LT(boom[24], 0.7 * *boomPeak);

    const DecodedSound& shoot = builtSound(Shoot);
    const std::vector<double> crack = envelope(shoot.samples, shoot.sampleRate, 0.05);
    ASSERT_GT(crack.size(), 12u);
    EXPECT_LT(std::max_element(crack.begin(), crack.end()) - crack.begin(), 3) << "the crack comes first";
    EXPECT_GT(meanFrequency(slice(shoot, 0.0, 0.08), shoot.sampleRate),
              2.0 * meanFrequency(slice(shoot, 0.4, 1.2), shoot.sampleRate))
        << "a bright crack, then a low roll";
}

TEST(SoundCharacter, TheMasonsHammerInRhythmAndTheGrenadeRumblesLow) {
    const DecodedSound& crafting = builtSound(Crafting);
    const std::vector<double> level = envelope(crafting.samples, crafting.sampleRate);
    ASSERT_FALSE(level.empty());
    const double loudest = *std::max_element(level.begin(), level.end());
    int hits = 0;
    for (size_t i = 1; i < level.size(); ++i)
        if (level[i] > 0.35 * loudest && level[i] > 2.0 * level[i - 1]) ++hits;
    EXPECT_GE(hits, 4) << "distinct strikes per loop";
    EXPECT_LE(hits, 30);

    const DecodedSound& rolling = builtSound(Rolling);
    EXPECT_LT(meanFrequency(rolling.samples, rolling.sampleRate), 500.0);
}

TEST(SoundCharacter, TheBellTheChoirAndTheBiteSitInTheMiddleOfHearing) {
    for (int type : {Warning, Finished, Apple}) {
        const DecodedSound& sound = builtSound(type);
        const double frequency = meanFrequency(sound.samples, sound.sampleRate);
        EXPECT_GT(frequency, 400.0) << "sound type " << type;
        EXPECT_LT(frequency, 6000.0) << "sound type " << type;
    }
}

}  // namespace

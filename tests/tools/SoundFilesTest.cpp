// SoundFilesTest.cpp -- the built sounds as the player hears them: present, decodable, of fitting length and
// level, loops without a click at the seam, one-shots ending in silence, four different laughs; the god speaks in
// a deep voice, the explosion booms, the thunder cracks at once, the masons hammer in rhythm, the rolling grenade
// rumbles low, the bell rings where the ear is keenest, the good music is in a major key and the bad in a minor.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "SoundDecoding.h"
#include "sound/SoundCatalogue.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

using soundtest::builtSound;
using soundtest::DecodedSound;
using soundtest::expectedSounds;

float rms(const std::vector<float>& x, size_t begin, size_t end) {
    double sum = 0.0;
    for (size_t i = begin; i < end; ++i) sum += static_cast<double>(x[i]) * x[i];
    return end > begin ? static_cast<float>(std::sqrt(sum / (end - begin))) : 0.0f;
}

TEST(SoundFiles, EachFitsItsEventAudibleUnclippedAndLoopsCleanlyOrEndsInSilence) {
    std::uintmax_t total = 0;
    for (size_t type = 0; type < expectedSounds.size(); ++type) {
        const auto& expected = expectedSounds[type];
        SCOPED_TRACE(expected.fileName);
        const std::filesystem::path path = soundtest::builtSoundFolder + expected.fileName;
        ASSERT_TRUE(std::filesystem::is_regular_file(path));
        EXPECT_GT(std::filesystem::file_size(path), 1000u);
        total += std::filesystem::file_size(path);

        const DecodedSound& sound = builtSound(static_cast<int>(type));
        const std::vector<float>& x = sound.samples;
        ASSERT_TRUE(sound.loaded);
        ASSERT_GT(x.size(), 2048u);
        EXPECT_GE(sound.seconds(), expected.minSeconds);
        EXPECT_LE(sound.seconds(), expected.maxSeconds);
        float peak = 0.0f;
        size_t clipped = 0;
        for (float v : x) {
            peak = std::max(peak, std::fabs(v));
            clipped += std::fabs(v) >= 0.999f;
        }
        EXPECT_GT(peak, 0.4f);
        EXPECT_GT(rms(x, 0, x.size()), 0.03f);
        EXPECT_LE(clipped, x.size() / 10000);

        const long n = static_cast<long>(x.size());
        if (expected.loops) {
            // The largest step and bend of the waveform near the seam, on either side but not across it.
            float step = 0.0f, bend = 0.0f;
            for (long i = 2; i < 300; ++i)
                for (long at : {i, n - i}) {
                    step = std::max(step, std::fabs(x[at] - x[at - 1]));
                    bend = std::max(bend, std::fabs(x[at] - 2 * x[at - 1] + x[at - 2]));
                }
            const float slopeInto = x[n - 1] - x[n - 2], slopeAcross = x[0] - x[n - 1], slopeOut = x[1] - x[0];
            EXPECT_LE(std::fabs(slopeAcross), 1.5f * step + 0.01f) << "last " << x[n - 1] << ", first " << x[0];
            EXPECT_LE(std::fabs(slopeAcross - slopeInto), 1.5f * bend + 0.01f);
            EXPECT_LE(std::fabs(slopeOut - slopeAcross), 1.5f * bend + 0.01f);
        } else {
            const size_t window = static_cast<size_t>(0.01 * sound.sampleRate);
            EXPECT_LT(rms(x, x.size() - window, x.size()), 0.005f) << "cut off rather than ending in silence";
            EXPECT_LT(std::fabs(x.back()), 0.01f);
        }
    }
    EXPECT_LT(total, 4u * 1024u * 1024u);
}

TEST(SoundFiles, TheFourLaughsSoundDifferent) {
    for (int a = SoundGodLaugh1; a <= SoundGodLaugh4; ++a)
        for (int b = a + 1; b <= SoundGodLaugh4; ++b) {
            const std::vector<float>& x = builtSound(a).samples;
            const std::vector<float>& y = builtSound(b).samples;
            double dot = 0.0, xx = 0.0, yy = 0.0;
            for (size_t i = 0; i < std::min(x.size(), y.size()); ++i) {
                dot += static_cast<double>(x[i]) * y[i];
                xx += static_cast<double>(x[i]) * x[i];
                yy += static_cast<double>(y[i]) * y[i];
            }
            ASSERT_GT(xx * yy, 0.0);
            EXPECT_LT(std::fabs(dot) / std::sqrt(xx * yy), 0.5) << "laughs " << a << " and " << b;
        }
}

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
    const double b0 = (1.0 - std::cos(w)) / 2.0 / a0, b1 = 2.0 * b0, a1 = -2.0 * std::cos(w) / a0,
                 a2 = (1.0 - alpha) / a0;
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
    for (int type = SoundGodRegret; type <= SoundGodLaugh4; ++type) {
        SCOPED_TRACE(type);
        const DecodedSound& sound = builtSound(type);
        ASSERT_TRUE(sound.loaded);
        // Below the vowel's resonances only the voice's own low harmonics remain.
        const std::vector<float> low =
            lowpass(lowpass(sound.samples, sound.sampleRate, 200.0), sound.sampleRate, 200.0);
        // The pitch of every loud 60 ms stretch; a voice, not noise, so most stretches are periodic.
        std::vector<double> pitches;
        const std::vector<double> whole = envelope(sound.samples, sound.sampleRate);
        const double loudest = *std::max_element(whole.begin(), whole.end());
        for (double t = 0.0; t + 0.06 < sound.seconds(); t += 0.06) {
            const std::vector<float> stretch = slice(sound, t, t + 0.06);
            const size_t from = static_cast<size_t>(t * sound.sampleRate);
            const std::vector<double> level = envelope(stretch, sound.sampleRate);
            if (level.empty() || *std::min_element(level.begin(), level.end()) < 0.3 * loudest) continue;
            pitches.push_back(
                pitchOf(std::vector<float>(low.begin() + from, low.begin() + from + stretch.size()), sound.sampleRate));
        }
        ASSERT_GE(pitches.size(), 3u);
        std::sort(pitches.begin(), pitches.end());
        // A chest tone an octave below the voice may set the period; either way it is deep.
        EXPECT_GT(pitches[pitches.size() / 2], 35.0);
        EXPECT_LT(pitches[pitches.size() / 2], 150.0);
    }
}

// The explosion and the rolling grenade are low; the warning bell, the finished grenade's choir and the apple
// bite sit in the middle of hearing.
TEST(SoundCharacter, EachEffectSitsInItsFrequencyRange) {
    const struct {
        int type;
        double toSeconds, lowHz, highHz;
    } ranges[] = {{SoundHolyGrenadeExplosion, 1.0, 0.0, 700.0},
                  {SoundHolyGrenadeRolling, 1e9, 0.0, 500.0},
                  {SoundWarning, 1e9, 400.0, 6000.0},
                  {SoundHolyGrenadeFinished, 1e9, 400.0, 6000.0},
                  {SoundApple, 1e9, 400.0, 6000.0}};
    for (const auto& range : ranges) {
        const DecodedSound& sound = builtSound(range.type);
        const double frequency = meanFrequency(slice(sound, 0.0, range.toSeconds), sound.sampleRate);
        EXPECT_GT(frequency, range.lowHz) << "sound type " << range.type;
        EXPECT_LT(frequency, range.highHz) << "sound type " << range.type;
    }
}

TEST(SoundCharacter, TheExplosionBoomsTheThunderCracksAtOnceAndTheMasonsHammerInRhythm) {
    // Loudest at once, still rumbling and rattling a second later.
    const DecodedSound& explosion = builtSound(SoundHolyGrenadeExplosion);
    const std::vector<double> boom = envelope(explosion.samples, explosion.sampleRate, 0.05);
    ASSERT_GT(boom.size(), 30u);
    const auto boomPeak = std::max_element(boom.begin(), boom.end());
    EXPECT_LT(boomPeak - boom.begin(), 10);
    EXPECT_GT(boom[24], 0.05 * *boomPeak);
    EXPECT_LT(boom[24], 0.7 * *boomPeak);

    const DecodedSound& shoot = builtSound(SoundLightningShoot);
    const std::vector<double> crack = envelope(shoot.samples, shoot.sampleRate, 0.05);
    ASSERT_GT(crack.size(), 12u);
    EXPECT_LT(std::max_element(crack.begin(), crack.end()) - crack.begin(), 3) << "the crack comes first";
    EXPECT_GT(meanFrequency(slice(shoot, 0.0, 0.08), shoot.sampleRate),
              2.0 * meanFrequency(slice(shoot, 0.4, 1.2), shoot.sampleRate))
        << "a bright crack, then a low roll";

    const DecodedSound& crafting = builtSound(SoundHolyGrenadeCrafting);
    const std::vector<double> level = envelope(crafting.samples, crafting.sampleRate);
    ASSERT_FALSE(level.empty());
    const double loudest = *std::max_element(level.begin(), level.end());
    int hits = 0;
    for (size_t i = 1; i < level.size(); ++i) hits += level[i] > 0.35 * loudest && level[i] > 2.0 * level[i - 1];
    EXPECT_GE(hits, 4) << "distinct strikes per loop";
    EXPECT_LE(hits, 30);
}

// Loudness of each pitch class over the whole piece (notes A2..A6, frame by frame, at a quarter of the rate).
std::array<double, 12> pitchClassProfile(const DecodedSound& sound) {
    std::vector<float> x(sound.samples.size() / 4);
    for (size_t i = 0; i < x.size(); ++i)
        x[i] = 0.25f *
               (sound.samples[4 * i] + sound.samples[4 * i + 1] + sound.samples[4 * i + 2] + sound.samples[4 * i + 3]);
    const double rate = sound.sampleRate / 4.0;
    constexpr size_t frame = 4096;
    std::array<double, 12> profile{};
    for (int note = 45; note <= 93; ++note) {
        const double coefficient = 2.0 * std::cos(2.0 * kPi * 440.0 * std::pow(2.0, (note - 69) / 12.0) / rate);
        for (size_t start = 0; start + frame <= x.size(); start += frame) {
            double s1 = 0.0, s2 = 0.0;
            for (size_t i = 0; i < frame; ++i) {
                const double s0 = x[start + i] + coefficient * s1 - s2;
                s2 = s1;
                s1 = s0;
            }
            profile[note % 12] += std::sqrt(std::max(0.0, s1 * s1 + s2 * s2 - coefficient * s1 * s2));
        }
    }
    return profile;
}

// Whether the key whose Krumhansl-Kessler profile correlates best with the measured profile is a major key;
// the key's name goes to `name`.
bool soundsMajor(const std::array<double, 12>& profile, std::string& name) {
    static const double major[12] = {6.35, 2.23, 3.48, 2.33, 4.38, 4.09, 2.52, 5.19, 2.39, 3.66, 2.29, 2.88};
    static const double minor[12] = {6.33, 2.68, 3.52, 5.38, 2.60, 3.53, 2.54, 4.75, 3.98, 2.69, 3.34, 3.17};
    static const char* names[12] = {"C", "C#", "D", "D#", "E", "F", "F#", "G", "G#", "A", "A#", "B"};
    double meanP = 0.0, bestScore = -2.0;
    for (double p : profile) meanP += p / 12.0;
    bool bestMajor = true;
    for (int tonic = 0; tonic < 12; ++tonic)
        for (const double* reference : {major, minor}) {
            double meanR = 0.0, pr = 0.0, pp = 0.0, rr = 0.0;
            for (int i = 0; i < 12; ++i) meanR += reference[i] / 12.0;
            for (int i = 0; i < 12; ++i) {
                const double p = profile[(i + tonic) % 12] - meanP, r = reference[i] - meanR;
                pr += p * r;
                pp += p * p;
                rr += r * r;
            }
            if (pr / std::sqrt(pp * rr) > bestScore) {
                bestScore = pr / std::sqrt(pp * rr);
                bestMajor = reference == major;
                name = std::string(names[tonic]) + (bestMajor ? " major" : " minor");
            }
        }
    return bestMajor;
}

TEST(SoundCharacter, TheGoodMusicIsInAMajorKeyAndTheBadMusicInAMinorKey) {
    std::string key;
    ASSERT_TRUE(builtSound(MusicGood).loaded && builtSound(MusicBad).loaded);
    EXPECT_TRUE(soundsMajor(pitchClassProfile(builtSound(MusicGood)), key)) << "MusicGood sounds in " << key;
    EXPECT_FALSE(soundsMajor(pitchClassProfile(builtSound(MusicBad)), key)) << "MusicBad sounds in " << key;
}

}  // namespace

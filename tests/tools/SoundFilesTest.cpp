// SoundFilesTest.cpp -- the built sounds as the player hears them, decoded by SDL2_mixer: of fitting length and
// level, unclipped, looping without a click at the seam or ending in silence, four different laughs, each effect in
// its range of pitch, the explosion and the thunder loudest at once.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "sound/SoundManager.h"
#include "support/DecodedSounds.h"

namespace {

// Per sound type: whether the game loops it and the length that fits its event. The warning must end before the
// wall's next blink, 1.4 s later.
const struct {
    bool loops;
    double minSeconds, maxSeconds;
} expectedSounds[soundTypeCount] = {
    {true, 30.0, 90.0}, {true, 30.0, 90.0}, {false, 0.15, 1.0}, {true, 1.0, 5.0},  {true, 1.0, 5.0},
    {false, 1.0, 5.0},  {false, 1.5, 6.0},  {true, 0.5, 3.0},   {false, 0.4, 3.0}, {false, 0.2, 1.2},
    {false, 0.8, 4.0},  {false, 0.8, 4.0},  {false, 0.8, 4.0},  {false, 0.8, 4.0}, {false, 0.8, 4.0},
    {false, 0.3, 1.3}};

using omxtest::builtSound;

float rms(const std::vector<float>& x, size_t begin, size_t end) {
    double sum = 0.0;
    for (size_t i = begin; i < end; ++i) sum += static_cast<double>(x[i]) * x[i];
    return end > begin ? static_cast<float>(std::sqrt(sum / (end - begin))) : 0.0f;
}

TEST(SoundFiles, EachFitsItsEventAudibleUnclippedAndLoopsCleanlyOrEndsInSilence) {
    std::uintmax_t total = 0;
    for (int type = 0; type < soundTypeCount; ++type) {
        const auto& expected = expectedSounds[type];
        SCOPED_TRACE(soundFiles[type].name);
        EXPECT_EQ(SoundManager::loops(type), expected.loops);
        total += std::filesystem::file_size(omxtest::builtSoundPath(type));
        const std::vector<float>& x = builtSound(type).samples;
        ASSERT_GT(x.size(), 2048u);
        const double seconds = builtSound(type).seconds();
        EXPECT_THAT(seconds, testing::AllOf(testing::Ge(expected.minSeconds), testing::Le(expected.maxSeconds)))
            << "the length in seconds";
        float peak = 0.0f;
        for (const float v : x) peak = std::max(peak, std::fabs(v));
        // Far from silent (how loud each one is, by its role in the mix, is SoundMixTest's concern).
        EXPECT_GT(peak, 0.25f);
        EXPECT_GT(rms(x, 0, x.size()), 0.03f);
        EXPECT_LE(std::count_if(x.begin(), x.end(), [](float v) { return std::fabs(v) >= 0.999f; }),
                  static_cast<long>(x.size() / 10000));

        const long n = static_cast<long>(x.size());
        if (expected.loops) {
            // Across the seam the wave steps and bends no more than it does near the seam on either side.
            float step = 0.0f, bend = 0.0f;
            for (long i = 2; i < 300; ++i)
                for (long at : {i, n - i}) {
                    step = std::max(step, std::fabs(x[at] - x[at - 1]));
                    bend = std::max(bend, std::fabs(x[at] - 2 * x[at - 1] + x[at - 2]));
                }
            const float slopeInto = x[n - 1] - x[n - 2], slopeAcross = x[0] - x[n - 1], slopeOut = x[1] - x[0];
            EXPECT_LE(std::fabs(slopeAcross), 1.5f * step + 0.01f) << "last " << x[n - 1] << ", first " << x[0];
            EXPECT_LE(std::max(std::fabs(slopeAcross - slopeInto), std::fabs(slopeOut - slopeAcross)),
                      1.5f * bend + 0.01f) << "the wave bends at the seam";
        } else {
            EXPECT_LT(rms(x, x.size() - builtSound(type).sampleRate / 100, x.size()), 0.005f) << "cut off";
            EXPECT_LT(std::fabs(x.back()), 0.01f) << "cut off";
        }
    }
    EXPECT_LT(total, 4u * 1024u * 1024u);
}

TEST(SoundFiles, TheFourLaughsSoundDifferent) {
    for (int a = SoundGodLaugh1; a <= SoundGodLaugh4; ++a)
        for (int b = a + 1; b <= SoundGodLaugh4; ++b) {
            const std::vector<float>&x = builtSound(a).samples, &y = builtSound(b).samples;
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

// The energy-weighted mean frequency (Hz) of seconds `from` to `to`: from the energy of the signal and its slope.
double meanFrequency(int type, double from, double to) {
    const omxtest::DecodedSound& sound = builtSound(type);
    const size_t end = std::min(sound.samples.size(), static_cast<size_t>(to * sound.sampleRate));
    double energy = 0.0, slopeEnergy = 0.0;
    for (size_t i = static_cast<size_t>(from * sound.sampleRate) + 1; i < end; ++i) {
        energy += static_cast<double>(sound.samples[i]) * sound.samples[i];
        const double slope = static_cast<double>(sound.samples[i]) - sound.samples[i - 1];
        slopeEnergy += slope * slope;
    }
    return energy > 0.0 ? sound.sampleRate / (2.0 * M_PI) * std::sqrt(slopeEnergy / energy) : 0.0;
}

// The explosion and the rolling grenade rumble low; the bell, the finished grenade's choir and the apple bite sit
// in the middle of hearing; the music is tones, not noise; the god speaks low; the thunder's crack is far brighter
// than its roll.
TEST(SoundFiles, EachSoundSitsInItsRangeOfPitch) {
    const struct {
        int type;
        double toSeconds, lowHz, highHz;
    } ranges[] = {{SoundHolyGrenadeExplosion, 1.0, 0.0, 700.0}, {SoundHolyGrenadeRolling, 1e9, 0.0, 500.0},
                  {SoundWarning, 1e9, 400.0, 6000.0},           {SoundHolyGrenadeFinished, 1e9, 400.0, 6000.0},
                  {SoundApple, 1e9, 400.0, 6000.0},             {MusicGood, 1e9, 80.0, 2500.0},
                  {MusicBad, 1e9, 80.0, 2500.0},                {SoundGodRegret, 1e9, 100.0, 900.0},
                  {SoundGodLaugh1, 1e9, 100.0, 900.0},          {SoundGodLaugh2, 1e9, 100.0, 900.0},
                  {SoundGodLaugh3, 1e9, 100.0, 900.0},          {SoundGodLaugh4, 1e9, 100.0, 900.0}};
    for (const auto& range : ranges) {
        const double frequency = meanFrequency(range.type, 0.0, range.toSeconds);
        EXPECT_THAT(frequency, testing::AllOf(testing::Gt(range.lowHz), testing::Lt(range.highHz)))
            << soundFiles[range.type].name;
    }
    EXPECT_GT(meanFrequency(SoundLightningShoot, 0.0, 0.08), 2.0 * meanFrequency(SoundLightningShoot, 0.4, 1.2));
}

// The explosion is loudest within half a second and still rumbles a second later; the thunder cracks at once.
TEST(SoundFiles, TheExplosionAndTheThunderStrikeAtOnce) {
    for (const auto& [type, loudestBefore] : {std::pair{SoundHolyGrenadeExplosion, 0.5}, {SoundLightningShoot, 0.15}}) {
        const std::vector<float>& x = builtSound(type).samples;
        const size_t step = static_cast<size_t>(builtSound(type).sampleRate) / 20;
        std::vector<float> level;
        for (size_t start = 0; start + step <= x.size(); start += step) level.push_back(rms(x, start, start + step));
        ASSERT_GT(level.size(), 8u);
        const auto loudest = std::max_element(level.begin(), level.end());
        EXPECT_LT((loudest - level.begin()) * 0.05, loudestBefore) << soundFiles[type].name;
        if (type == SoundHolyGrenadeExplosion) {
            EXPECT_GT(level.at(24), 0.05f * *loudest) << "no rumble after 1.2 s";
        }
    }
}

}  // namespace

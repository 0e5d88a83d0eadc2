// SoundFilesTest.cpp -- the built sound files as the player hears them: present, decodable, of fitting length
// and level, loops without a click at the seam, one-shots ending in silence.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <vector>

#include "SoundDecoding.h"

namespace {

using soundtest::builtSound;
using soundtest::DecodedSound;
using soundtest::expectedSounds;

float rms(const std::vector<float>& x, size_t begin, size_t end) {
    double sum = 0.0;
    for (size_t i = begin; i < end; ++i) sum += static_cast<double>(x[i]) * x[i];
    return end > begin ? static_cast<float>(std::sqrt(sum / (end - begin))) : 0.0f;
}

// Sample at i of the sound played as a loop (i may run past either end).
float looped(const std::vector<float>& x, long i) {
    const long n = static_cast<long>(x.size());
    return x[((i % n) + n) % n];
}

TEST(SoundFiles, AllSixteenAreBuiltAndTogetherStayUnderFourMegabytes) {
    std::uintmax_t total = 0;
    for (const auto& expected : expectedSounds()) {
        const std::filesystem::path path = soundtest::builtSoundFolder() + expected.fileName;
        ASSERT_TRUE(std::filesystem::is_regular_file(path)) << path;
        const std::uintmax_t size = std::filesystem::file_size(path);
        EXPECT_GT(size, 1000u) << path;
        total += size;
    }
    EXPECT_LT(total, 4u * 1024u * 1024u);
}

TEST(SoundFiles, EachDecodesWithTheMixerToALengthThatFitsItsEvent) {
    for (size_t type = 0; type < expectedSounds().size(); ++type) {
        const auto& expected = expectedSounds()[type];
        const DecodedSound& sound = builtSound(static_cast<int>(type));
        ASSERT_TRUE(sound.loaded) << expected.fileName;
        EXPECT_GE(sound.seconds(), expected.minSeconds) << expected.fileName;
        EXPECT_LE(sound.seconds(), expected.maxSeconds) << expected.fileName;
    }
}

TEST(SoundFiles, EachIsClearlyAudibleWithoutClipping) {
    for (size_t type = 0; type < expectedSounds().size(); ++type) {
        const char* name = expectedSounds()[type].fileName;
        const std::vector<float>& x = builtSound(static_cast<int>(type)).samples;
        ASSERT_FALSE(x.empty()) << name;
        float peak = 0.0f;
        size_t clipped = 0;
        for (float v : x) {
            peak = std::max(peak, std::fabs(v));
            if (std::fabs(v) >= 0.999f) ++clipped;
        }
        EXPECT_GT(peak, 0.4f) << name;
        EXPECT_GT(rms(x, 0, x.size()), 0.03f) << name;
        EXPECT_LE(clipped, x.size() / 10000) << name;
    }
}

TEST(SoundFiles, LoopsRunOnIntoTheirStartWithoutAClick) {
    for (size_t type = 0; type < expectedSounds().size(); ++type) {
        if (!expectedSounds()[type].loops) continue;
        const char* name = expectedSounds()[type].fileName;
        const std::vector<float>& x = builtSound(static_cast<int>(type)).samples;
        ASSERT_GT(x.size(), 2048u) << name;
        const long n = static_cast<long>(x.size());

        // The largest step and bend of the waveform near the seam, on either side but not across it.
        float step = 0.0f, bend = 0.0f;
        for (long i = 2; i < 300; ++i) {
            for (long at : {i, n - i}) {
                step = std::max(step, std::fabs(looped(x, at) - looped(x, at - 1)));
                bend = std::max(bend, std::fabs(looped(x, at) - 2 * looped(x, at - 1) + looped(x, at - 2)));
            }
        }
        const float seamStep = std::fabs(x[0] - x[n - 1]);
        const float slopeIntoSeam = x[n - 1] - x[n - 2];
        const float slopeAcross = x[0] - x[n - 1];
        const float slopeOutOfSeam = x[1] - x[0];
        EXPECT_LE(seamStep, 1.5f * step + 0.01f) << name << ": last " << x[n - 1] << ", first " << x[0];
        EXPECT_LE(std::fabs(slopeAcross - slopeIntoSeam), 1.5f * bend + 0.01f) << name;
        EXPECT_LE(std::fabs(slopeOutOfSeam - slopeAcross), 1.5f * bend + 0.01f) << name;

    }
}

TEST(SoundFiles, OneShotsEndInSilenceRatherThanBeingCutOff) {
    for (size_t type = 0; type < expectedSounds().size(); ++type) {
        if (expectedSounds()[type].loops) continue;
        const char* name = expectedSounds()[type].fileName;
        const DecodedSound& sound = builtSound(static_cast<int>(type));
        const std::vector<float>& x = sound.samples;
        const size_t window = static_cast<size_t>(0.01 * sound.sampleRate);
        ASSERT_GT(x.size(), window) << name;
        EXPECT_LT(rms(x, x.size() - window, x.size()), 0.005f) << name;
        EXPECT_LT(std::fabs(x.back()), 0.01f) << name;
    }
}

TEST(SoundFiles, TheFourLaughsSoundDifferent) {
    constexpr int firstLaugh = 11;
    for (int a = firstLaugh; a < firstLaugh + 4; ++a) {
        for (int b = a + 1; b < firstLaugh + 4; ++b) {
            const std::vector<float>& x = builtSound(a).samples;
            const std::vector<float>& y = builtSound(b).samples;
            const size_t n = std::min(x.size(), y.size());
            double dot = 0.0, xx = 0.0, yy = 0.0;
            for (size_t i = 0; i < n; ++i) {
                dot += static_cast<double>(x[i]) * y[i];
                xx += static_cast<double>(x[i]) * x[i];
                yy += static_cast<double>(y[i]) * y[i];
            }
            ASSERT_GT(xx * yy, 0.0);
            EXPECT_LT(std::fabs(dot) / std::sqrt(xx * yy), 0.5) << "laughs " << a << " and " << b;
        }
    }
}

}  // namespace

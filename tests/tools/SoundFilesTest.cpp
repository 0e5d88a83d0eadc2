// SoundFilesTest.cpp -- the built sound files as the player hears them: present, decodable, of fitting length
// and level, loops without a click at the seam, one-shots ending in silence, four different laughs.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <vector>

#include "SoundDecoding.h"
#include "sound/SoundCatalogue.h"

namespace {

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
    for (size_t type = 0; type < expectedSounds().size(); ++type) {
        const auto& expected = expectedSounds()[type];
        SCOPED_TRACE(expected.fileName);
        const std::filesystem::path path = soundtest::builtSoundFolder() + expected.fileName;
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

}  // namespace

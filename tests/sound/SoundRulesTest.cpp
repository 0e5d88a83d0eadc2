// SoundRulesTest.cpp -- output format by device name, volume clamping, the mixer version check.
#include <limits>
#include <vector>
#include <string>

#include <gtest/gtest.h>
#include <SDL.h>
#include <SDL_mixer.h>

#include "sound/SoundRules.h"

namespace {

TEST(SoundRules, SigmaTelDevicesGetFloatOutputAt48kHzAndOthersTheMixerDefault) {
    const struct {
        const char* name;
        bool sigmaTel;
    } devices[] = {{"SigmaTel", true},        {"HDA Intel PCH, SigmaTel STAC9200", true},
                   {"sigmatel", false},       {"Sigma Tel", false},
                   {"HDA Intel PCH", false},  {nullptr, false}};
    for (const auto& device : devices) {
        const AudioFormat format = chooseAudioFormat(device.name);
        EXPECT_EQ((std::vector<int>{format.frequency, format.format, format.channels}),
                  (device.sigmaTel ? std::vector<int>{48000, AUDIO_F32SYS, 1}
                                   : std::vector<int>{MIX_DEFAULT_FREQUENCY, MIX_DEFAULT_FORMAT, 1}))
            << (device.name ? device.name : "(no name)");
    }
}

// The manager's tests cover the usual volumes through its channels; these are the edges only the rules see.
TEST(SoundRules, VolumesRoundToTheMixerScaleAndOverfullOrUndefinedVolumesAreClamped) {
    constexpr float inf = std::numeric_limits<float>::infinity();
    const struct {
        float volume, clamped;
        int mixer;
    } cases[] = {{0.35f, 0.35f, 45}, {3.0f, 1.0f, MIX_MAX_VOLUME}, {inf, 1.0f, MIX_MAX_VOLUME}, {-inf, 0.0f, 0},
                 {std::numeric_limits<float>::quiet_NaN(), 1.0f, MIX_MAX_VOLUME}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.volume);
        EXPECT_FLOAT_EQ(clampVolume(c.volume), c.clamped);
        EXPECT_EQ(mixerVolume(c.volume, false), c.mixer);
        EXPECT_EQ(mixerVolume(c.volume, true), 0);
    }
}

TEST(SoundRules, MixerVersionTwoOrLaterIsAccepted) {
    const struct {
        int major, minor, patch;
        bool accepted;
    } versions[] = {{2, 0, 0, true}, {3, 0, 0, true}, {1, 2, 12, false}, {1, 99, 99, false}};
    for (const auto& v : versions)
        EXPECT_EQ(mixerVersionSupported(v.major, v.minor, v.patch), v.accepted) << v.major << "." << v.minor;
    const SDL_version* linked = Mix_Linked_Version();
    EXPECT_TRUE(mixerVersionSupported(linked->major, linked->minor, linked->patch));
    EXPECT_EQ(oldMixerVersionLine(1, 2, 12),
              "Error! You are using an old version of SDL_mixer 1.2.12. This program requires 2.0.0");
}

}  // namespace

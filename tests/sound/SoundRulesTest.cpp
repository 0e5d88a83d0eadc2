// SoundRulesTest.cpp -- output format by device name, volume clamping, the mixer version check.
#include <cmath>
#include <limits>
#include <string>

#include <gtest/gtest.h>
#include <SDL.h>
#include <SDL_mixer.h>

#include "sound/SoundRules.h"

namespace {

TEST(SoundRules, SigmaTelDevicesGetFloatOutputAt48kHz) {
    for (const char* name : {"SigmaTel", "SigmaTel High Definition Audio CODEC", "HDA Intel PCH, SigmaTel STAC9200"}) {
        const AudioFormat format = chooseAudioFormat(name);
        EXPECT_EQ(format.frequency, 48000) << name;
        EXPECT_EQ(format.format, AUDIO_F32SYS) << name;
        EXPECT_EQ(format.channels, 1) << name;
    }
    for (const char* name : {"sigmatel", "SIGMATEL audio", "Sigma Tel", "HDA Intel PCH", "", static_cast<const char*>(nullptr)}) {
        const AudioFormat format = chooseAudioFormat(name);
        EXPECT_EQ(format.frequency, MIX_DEFAULT_FREQUENCY) << (name ? name : "(no name)");
        EXPECT_EQ(format.format, MIX_DEFAULT_FORMAT) << (name ? name : "(no name)");
        EXPECT_EQ(format.channels, 1);
    }
}

TEST(SoundRules, VolumesAreClampedToZeroToOneWithNaNAsFull) {
    EXPECT_FLOAT_EQ(clampVolume(1.7f), 1.0f);
    EXPECT_FLOAT_EQ(clampVolume(-0.2f), 0.0f);
    EXPECT_FLOAT_EQ(clampVolume(0.35f), 0.35f);
    EXPECT_FLOAT_EQ(clampVolume(std::numeric_limits<float>::quiet_NaN()), 1.0f);
    EXPECT_FLOAT_EQ(clampVolume(std::numeric_limits<float>::infinity()), 1.0f);
    EXPECT_FLOAT_EQ(clampVolume(-std::numeric_limits<float>::infinity()), 0.0f);

    EXPECT_EQ(mixerVolume(1.0f, false), MIX_MAX_VOLUME);
    EXPECT_EQ(mixerVolume(0.8f, false), 102);
    EXPECT_EQ(mixerVolume(0.3f, false), 38);
    EXPECT_EQ(mixerVolume(0.0f, false), 0);
    EXPECT_EQ(mixerVolume(3.0f, false), MIX_MAX_VOLUME);
    EXPECT_EQ(mixerVolume(1.0f, true), 0);
}

TEST(SoundRules, MixerVersionTwoOrLaterIsAccepted) {
    EXPECT_TRUE(mixerVersionSupported(2, 0, 0));
    EXPECT_TRUE(mixerVersionSupported(2, 6, 2));
    EXPECT_TRUE(mixerVersionSupported(3, 0, 0));
    EXPECT_FALSE(mixerVersionSupported(1, 2, 12));
    EXPECT_FALSE(mixerVersionSupported(1, 99, 99));
    const SDL_version* linked = Mix_Linked_Version();
    EXPECT_TRUE(mixerVersionSupported(linked->major, linked->minor, linked->patch));
    EXPECT_EQ(oldMixerVersionLine(1, 2, 12),
              "Error! You are using an old version of SDL_mixer 1.2.12. This program requires 2.0.0");
}

}  // namespace

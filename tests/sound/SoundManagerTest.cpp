// SoundManagerTest.cpp -- the sound manager on SDL's silent driver: channels, restart, music, volumes, mute,
// and holding everything while the game is paused.
#include <atomic>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <limits>
#include <memory>
#include <set>

#include <gtest/gtest.h>
#include <SDL.h>
#include <SDL_mixer.h>

#include "SoundFiles.h"
#include "sound/SoundManager.h"

namespace {

// Counts the bytes of a channel's sound that the mixer has played since it was attached: the
// channel's position. The mixer drops it when the channel halts or is restarted.
struct ChannelMeter {
    std::atomic<long> bytes{0};
};

void countBytes(int, void*, int length, void* meter) {
    static_cast<ChannelMeter*>(meter)->bytes += length;
}

void attachMeter(int channel, ChannelMeter& meter) {
    ASSERT_NE(Mix_RegisterEffect(channel, countBytes, nullptr, &meter), 0) << Mix_GetError();
}

// Channels that halted (ended or were cut off by a restart), counted by the mixer's callback.
std::atomic<int> finishedCount[soundTypeCount];

void onChannelFinished(int channel) {
    if (channel >= 0 && channel < soundTypeCount) ++finishedCount[channel];
}

bool waitUntil(const std::function<bool()>& condition, double seconds) {
    const Uint64 end = SDL_GetTicks64() + static_cast<Uint64>(seconds * 1000.0);
    while (!condition()) {
        if (SDL_GetTicks64() > end) return false;
        SDL_Delay(2);
    }
    return true;
}

int channelVolume(int channel) { return Mix_Volume(channel, -1); }

class SoundManagerTest : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        sound = std::make_unique<SoundManager>(soundtest::completeSoundFolder());
        for (auto& count : finishedCount) count = 0;
        Mix_ChannelFinished(onChannelFinished);
    }
    void TearDown() override {
        Mix_ChannelFinished(nullptr);
        sound.reset();
    }

    std::unique_ptr<SoundManager> sound;
};

TEST_F(SoundManagerTest, OpensSixteenChannelsAndStartsWithTheTableVolumes) {
    EXPECT_GE(Mix_AllocateChannels(-1), soundTypeCount);
    // Mixed in mono, as the sounds are made: nothing is widened to stereo in memory.
    int frequency = 0, channels = 0;
    Uint16 format = 0;
    ASSERT_EQ(Mix_QuerySpec(&frequency, &format, &channels), 1);
    EXPECT_EQ(channels, 1);
    EXPECT_FALSE(sound->muted);
    for (int type = 0; type < soundTypeCount; ++type) {
        const float expected = type == SoundLightningPick ? 0.8f
                               : type == SoundLightningShoot ? 0.3f
                               : type == SoundWarning ? 0.5f : 1.0f;
        EXPECT_FLOAT_EQ(sound->volumes[type], expected) << "type " << type;
        EXPECT_FALSE(sound->isPlaying(type)) << "type " << type << " was never played";
    }
}

TEST_F(SoundManagerTest, EachTypePlaysOnItsOwnChannelInItsMode) {
    for (int type = 0; type < soundTypeCount; ++type) sound->play(type);
    // The bad music paused the good one; every channel holds its own type.
    std::set<Mix_Chunk*> chunks;
    for (int type = 0; type < soundTypeCount; ++type) {
        EXPECT_TRUE(Mix_Playing(type)) << "type " << type;
        chunks.insert(Mix_GetChunk(type));
    }
    EXPECT_EQ(chunks.size(), 16u) << "two types share a sound";
    EXPECT_EQ(chunks.count(nullptr), 0u);
    EXPECT_TRUE(Mix_Paused(MusicGood));
    EXPECT_FALSE(Mix_Paused(MusicBad));
    // Once sounds (0.6 s at most) end by themselves; the five loops go on.
    ASSERT_TRUE(waitUntil([] { return Mix_Playing(-1) == 5; }, 10.0));
    SDL_Delay(200);
    for (int type = 0; type < soundTypeCount; ++type)
        EXPECT_EQ(sound->isPlaying(type), SoundManager::loops(type)) << "type " << type;
}

TEST_F(SoundManagerTest, PlayingAgainRestartsFromTheBeginningOnTheSameChannel) {
    ChannelMeter first;
    sound->play(SoundApple);
    attachMeter(SoundApple, first);
    const long length = static_cast<long>(Mix_GetChunk(SoundApple)->alen);
    ASSERT_GT(length, 0);
    ASSERT_TRUE(waitUntil([&] { return first.bytes > length / 3; }, 10.0));
    sound->play(SoundApple);
    ChannelMeter second;
    attachMeter(SoundApple, second);
    const long firstStopped = first.bytes;

    // The first instance was cut off, not left to run on beside the new one.
    EXPECT_EQ(finishedCount[SoundApple], 1);
    EXPECT_EQ(Mix_Playing(-1), 1);
    EXPECT_LT(firstStopped, length);
    ASSERT_TRUE(waitUntil([] { return !Mix_Playing(SoundApple); }, 10.0));
    EXPECT_EQ(finishedCount[SoundApple], 2);
    EXPECT_FALSE(sound->isPlaying(SoundApple)) << "a once sound that ended is not playing";
    EXPECT_EQ(first.bytes, firstStopped) << "the meter of the cut-off instance went on counting";
    // The second instance played (almost) the whole sound: it started from the beginning.
    EXPECT_GT(second.bytes, length * 9 / 10);
    EXPECT_LE(second.bytes, length);
}

TEST_F(SoundManagerTest, EachPieceOfMusicPausesTheOtherWhichKeepsItsPlace) {
    ChannelMeter good;
    sound->play(MusicGood);
    attachMeter(MusicGood, good);
    ASSERT_TRUE(waitUntil([&] { return good.bytes > 0; }, 10.0));

    sound->play(MusicBad);
    EXPECT_TRUE(Mix_Paused(MusicGood));
    EXPECT_FALSE(Mix_Paused(MusicBad));
    EXPECT_TRUE(sound->isPlaying(MusicGood)) << "a paused channel counts as playing";
    EXPECT_TRUE(sound->isPlaying(MusicBad));
    EXPECT_EQ(finishedCount[MusicGood], 0) << "the good music was stopped instead of paused";
    const long heldAt = good.bytes;
    SDL_Delay(150);
    EXPECT_EQ(good.bytes, heldAt);
    EXPECT_EQ(channelVolume(MusicGood), MIX_MAX_VOLUME);

    sound->play(MusicGood);
    EXPECT_TRUE(Mix_Paused(MusicBad));
    EXPECT_FALSE(Mix_Paused(MusicGood));
    EXPECT_EQ(finishedCount[MusicGood], 1) << "playing the good music again restarts it";
    EXPECT_EQ(finishedCount[MusicBad], 0);
}

TEST_F(SoundManagerTest, PauseHoldsTheChannelAndTheNextPlayRestartsIt) {
    ChannelMeter meter;
    sound->play(SoundHolyGrenadeRolling);
    attachMeter(SoundHolyGrenadeRolling, meter);
    ASSERT_TRUE(waitUntil([&] { return meter.bytes > 0; }, 10.0));

    sound->pause(SoundHolyGrenadeRolling);
    EXPECT_TRUE(Mix_Paused(SoundHolyGrenadeRolling));
    EXPECT_TRUE(sound->isPlaying(SoundHolyGrenadeRolling));
    const long heldAt = meter.bytes;
    SDL_Delay(150);
    EXPECT_EQ(meter.bytes, heldAt);
    EXPECT_EQ(finishedCount[SoundHolyGrenadeRolling], 0);

    sound->play(SoundHolyGrenadeRolling);
    EXPECT_FALSE(Mix_Paused(SoundHolyGrenadeRolling));
    EXPECT_EQ(finishedCount[SoundHolyGrenadeRolling], 1);

    // Pausing a type that is not playing changes nothing.
    sound->pause(SoundGodRegret);
    EXPECT_FALSE(sound->isPlaying(SoundGodRegret));
    EXPECT_FALSE(Mix_Paused(SoundGodRegret));
}

TEST_F(SoundManagerTest, PauseAllHoldsEveryAudibleSoundAndResumeAllLetsExactlyThoseGoOn) {
    ChannelMeter music, crafting;
    sound->play(MusicGood);
    sound->play(MusicBad);  // holds the good music
    sound->play(SoundHolyGrenadeCrafting);
    attachMeter(MusicBad, music);
    attachMeter(SoundHolyGrenadeCrafting, crafting);
    ASSERT_TRUE(waitUntil([&] { return music.bytes > 0 && crafting.bytes > 0; }, 10.0));

    sound->pauseAll();
    sound->pauseAll();  // a second pause forgets nothing
    for (const int type : {MusicGood, MusicBad, SoundHolyGrenadeCrafting})
        EXPECT_TRUE(Mix_Paused(type)) << type;
    const long musicAt = music.bytes, craftingAt = crafting.bytes;
    SDL_Delay(150);
    EXPECT_EQ(music.bytes, musicAt);
    EXPECT_EQ(crafting.bytes, craftingAt);
    EXPECT_FALSE(sound->isPlaying(SoundWarning)) << "nothing new starts";

    sound->resumeAll();
    EXPECT_FALSE(Mix_Paused(MusicBad));
    EXPECT_FALSE(Mix_Paused(SoundHolyGrenadeCrafting));
    EXPECT_TRUE(Mix_Paused(MusicGood)) << "the music held by the other stays held";
    ASSERT_TRUE(waitUntil([&] { return music.bytes > musicAt && crafting.bytes > craftingAt; }, 10.0));
    EXPECT_EQ(finishedCount[MusicBad], 0) << "resumed where it was, not restarted";
    EXPECT_EQ(finishedCount[SoundHolyGrenadeCrafting], 0);

    // A later resume without a pause wakes nothing that the game itself had paused.
    sound->pause(SoundHolyGrenadeCrafting);
    sound->resumeAll();
    EXPECT_TRUE(Mix_Paused(SoundHolyGrenadeCrafting));
}

TEST_F(SoundManagerTest, VolumesAreClampedStoredAndUsedByLaterPlays) {
    sound->setVolume(SoundApple, 1.7f);
    EXPECT_FLOAT_EQ(sound->volumes[SoundApple], 1.0f);
    sound->setVolume(SoundApple, -0.2f);
    EXPECT_FLOAT_EQ(sound->volumes[SoundApple], 0.0f);
    sound->setVolume(SoundApple, std::numeric_limits<float>::quiet_NaN());
    EXPECT_FLOAT_EQ(sound->volumes[SoundApple], 1.0f);

    // Set before the first play of the type, used by that play.
    sound->setVolume(SoundHolyGrenadeCrafting, 0.25f);
    sound->play(SoundHolyGrenadeCrafting);
    EXPECT_EQ(channelVolume(SoundHolyGrenadeCrafting), 32);
    // The table's own volumes reach their channels.
    sound->play(SoundLightningPick);
    sound->play(SoundLightningShoot);
    sound->play(SoundWarning);
    EXPECT_EQ(channelVolume(SoundLightningPick), 102);
    EXPECT_EQ(channelVolume(SoundLightningShoot), 38);
    EXPECT_EQ(channelVolume(SoundWarning), 64);
    // A change while playing reaches the channel at once.
    sound->setVolume(SoundHolyGrenadeCrafting, 0.5f);
    EXPECT_EQ(channelVolume(SoundHolyGrenadeCrafting), 64);
}

TEST_F(SoundManagerTest, MuteSilencesEveryChannelIncludingLaterOnesAndRestoresTheVolumes) {
    sound->play(MusicGood);
    sound->play(SoundLightningPick);
    sound->toggleMute();
    EXPECT_TRUE(sound->muted);
    EXPECT_EQ(channelVolume(MusicGood), 0);
    EXPECT_EQ(channelVolume(SoundLightningPick), 0);

    // Started while muted: silent from its first sample. A volume set meanwhile is kept for later.
    sound->setVolume(SoundHolyGrenadeRolling, 0.5f);
    sound->play(SoundHolyGrenadeRolling);
    EXPECT_EQ(channelVolume(SoundHolyGrenadeRolling), 0);
    EXPECT_FLOAT_EQ(sound->volumes[SoundHolyGrenadeRolling], 0.5f);
    EXPECT_FLOAT_EQ(sound->volumes[SoundLightningPick], 0.8f);
    EXPECT_TRUE(sound->isPlaying(SoundHolyGrenadeRolling)) << "muted sounds still play";

    sound->toggleMute();
    EXPECT_FALSE(sound->muted);
    EXPECT_EQ(channelVolume(MusicGood), MIX_MAX_VOLUME);
    EXPECT_EQ(channelVolume(SoundLightningPick), 102);
    EXPECT_EQ(channelVolume(SoundHolyGrenadeRolling), 64);
    sound->play(SoundApple);
    EXPECT_EQ(channelVolume(SoundApple), MIX_MAX_VOLUME);
}

TEST_F(SoundManagerTest, UnknownTypeIsReportedAndPlaysNothing) {
    sound->play(MusicGood);
    const int playingBefore = Mix_Playing(-1);
    testing::internal::CaptureStderr();
    testing::internal::CaptureStdout();
    sound->play(16);
    sound->play(-1);
    const std::string out = testing::internal::GetCapturedStdout();
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(err, "Sound type 16: not found\nSound type -1: not found\n");
    EXPECT_EQ(out, "");
    EXPECT_EQ(Mix_Playing(-1), playingBefore);
    EXPECT_FALSE(Mix_Paused(MusicGood));
}

TEST_F(SoundManagerTest, TypesOutsideTheTableTouchNothing) {
    sound->play(MusicGood);
    const auto volumesBefore = sound->volumes;
    int channelVolumesBefore[soundTypeCount];
    for (int channel = 0; channel < soundTypeCount; ++channel) channelVolumesBefore[channel] = channelVolume(channel);
    for (const int type : {-1, 16, 17, -1000, 1000}) {
        sound->pause(type);
        sound->setVolume(type, 0.1f);
        EXPECT_FALSE(sound->isPlaying(type)) << "type " << type;
    }
    EXPECT_EQ(sound->volumes, volumesBefore);
    EXPECT_FALSE(Mix_Paused(MusicGood));
    for (int channel = 0; channel < soundTypeCount; ++channel)
        EXPECT_EQ(channelVolume(channel), channelVolumesBefore[channel]) << "channel " << channel;
    EXPECT_STREQ(SoundManager::fileName(16), "");
    EXPECT_STREQ(SoundManager::fileName(-1), "");
    EXPECT_FALSE(SoundManager::loops(16));
}

}  // namespace

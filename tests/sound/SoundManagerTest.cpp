// SoundManagerTest.cpp -- the sound manager on SDL's silent driver: channels, restart, music, pause, volumes and
// mute; the missing or broken files that end the program, and the fallback to the silent driver.
#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <limits>
#include <memory>
#include <set>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include <unistd.h>

#include <gtest/gtest.h>
#include <lame/lame.h>
#include <SDL.h>
#include <SDL_mixer.h>

#include "sound/SoundManager.h"
#include "support/Files.h"

namespace {

// A mono 44.1 kHz sine tone of the given length and pitch, encoded with LAME.
std::string toneMp3(double seconds, double frequency) {
    constexpr int rate = 44100;
    const int frames = static_cast<int>(seconds * rate);
    std::vector<short> samples(frames);
    for (int i = 0; i < frames; ++i)
        samples[i] = static_cast<short>(12000.0 * std::sin(2.0 * M_PI * frequency * i / rate));
    lame_global_flags* const lame = lame_init();
    lame_set_in_samplerate(lame, rate), lame_set_out_samplerate(lame, rate), lame_set_num_channels(lame, 1);
    lame_set_mode(lame, MONO), lame_set_brate(lame, 64);
    std::vector<unsigned char> mp3(static_cast<size_t>(1.25 * frames + 7200 * 2));
    int size = -1, tail = -1;
    if (lame_init_params(lame) >= 0)
        size = lame_encode_buffer(lame, samples.data(), nullptr, frames, mp3.data(), static_cast<int>(mp3.size()));
    if (size >= 0) tail = lame_encode_flush(lame, mp3.data() + size, static_cast<int>(mp3.size()) - size);
    lame_close(lame);
    if (tail < 0) throw std::runtime_error("LAME could not encode the tone");
    return std::string(mp3.begin(), mp3.begin() + size + tail);
}

// A fresh folder of all sixteen files but the missing ones: the music 1.0 s, SoundApple 0.6 s, the rest 0.3 s.
std::string soundFolderWithout(const std::vector<int>& missing = {}) {
    static int counter = 0;
    const std::string folder = omxtest::scratchFolder() + "/sounds" + std::to_string(counter++) + "/";
    for (int type = 0; type < soundTypeCount; ++type) {
        static std::vector<std::string> tones(soundTypeCount);
        if (tones[type].empty())
            tones[type] = toneMp3(type <= MusicBad ? 1.0 : type == SoundApple ? 0.6 : 0.3, 220.0 + 40.0 * type);
        if (std::find(missing.begin(), missing.end(), type) == missing.end())
            omxtest::writeFile(folder + SoundManager::fileName(type), tones[type]);
    }
    return folder;
}

const std::string& completeSoundFolder() {
    static const std::string folder = soundFolderWithout();
    return folder;
}

// The bytes of a channel's sound the mixer has played since the meter was attached; the mixer drops the meter
// when the channel halts or restarts.
struct ChannelMeter {
    std::atomic<long> bytes{0};
    explicit ChannelMeter(int channel) {
        EXPECT_NE(Mix_RegisterEffect(channel, [](int, void*, int length, void* self) {
            static_cast<ChannelMeter*>(self)->bytes += length; }, nullptr, this), 0) << Mix_GetError();
    }
};

// The bytes the mixer has put out since the meter was made, whatever plays (silence too).
struct OutputMeter {
    std::atomic<long> bytes{0};
    OutputMeter() { EXPECT_NE(Mix_RegisterEffect(MIX_CHANNEL_POST, count, nullptr, this), 0) << Mix_GetError(); }
    ~OutputMeter() { Mix_UnregisterEffect(MIX_CHANNEL_POST, count); }
    OutputMeter(const OutputMeter&) = delete;
    OutputMeter& operator=(const OutputMeter&) = delete;
    static void count(int, void*, int length, void* self) { static_cast<OutputMeter*>(self)->bytes += length; }
};

// Channels that halted (ended or were cut off by a restart), counted by the mixer's callback.
std::atomic<int> finishedCount[soundTypeCount];

bool waitUntil(const std::function<bool()>& condition, double seconds = 10.0) {
    const Uint64 end = SDL_GetTicks64() + static_cast<Uint64>(seconds * 1000.0);
    while (!condition()) {
        if (SDL_GetTicks64() > end) return false;
        SDL_Delay(2);
    }
    return true;
}

// Waits until the mixer has put out `seconds` more of sound: time as the sounds themselves see it.
bool mixerRunsFor(double seconds) {
    int frequency = 0, channels = 0;
    Uint16 format = 0;
    if (!Mix_QuerySpec(&frequency, &format, &channels)) return false;
    const long bytes = static_cast<long>(seconds * frequency * channels * (SDL_AUDIO_BITSIZE(format) / 8));
    const OutputMeter output;
    return waitUntil([&] { return output.bytes >= bytes; });
}

// The volume the mixer gives a type: its channel's, or the music stream's for the piece in it.
int mixerVolumeOf(int type) { return type <= MusicBad ? Mix_VolumeMusic(-1) : Mix_Volume(type, -1); }

class SoundManagerTest : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        sound = std::make_unique<SoundManager>(completeSoundFolder());
        for (auto& count : finishedCount) count = 0;
        Mix_ChannelFinished([](int channel) {
            if (channel >= 0 && channel < soundTypeCount) ++finishedCount[channel];
        });
    }
    void TearDown() override {
        Mix_ChannelFinished(nullptr);
        sound.reset();
    }

    std::unique_ptr<SoundManager> sound;
};

TEST_F(SoundManagerTest, EachTypePlaysOnItsOwnChannelInItsMode) {
    EXPECT_GE(Mix_AllocateChannels(-1), soundTypeCount);
    for (int type = 0; type < soundTypeCount; ++type) EXPECT_FALSE(sound->isPlaying(type)) << "type " << type;

    for (int type = 0; type < soundTypeCount; ++type) sound->play(type);
    std::set<Mix_Chunk*> chunks;
    for (int type = SoundApple; type < soundTypeCount; ++type) {
        EXPECT_TRUE(Mix_Playing(type)) << "type " << type;
        chunks.insert(Mix_GetChunk(type));
    }
    EXPECT_EQ(chunks.size(), 14u) << "two types share a sound";
    EXPECT_EQ(chunks.count(nullptr), 0u) << "a type has no sound";
    // Music is not decoded into a channel, and one piece plays at a time.
    EXPECT_EQ((std::vector<int>{Mix_Playing(MusicGood), Mix_Playing(MusicBad), Mix_PlayingMusic(),
                                sound->isPlaying(MusicGood)}),
              (std::vector<int>{0, 0, 1, 0}));
    // Once sounds (0.6 s at most) end by themselves; the three looping effects and the 1 s of music go on.
    ASSERT_TRUE(waitUntil([] { return Mix_Playing(-1) == 3; }));
    ASSERT_TRUE(mixerRunsFor(1.2));
    for (int type = SoundApple; type < soundTypeCount; ++type)
        EXPECT_EQ(sound->isPlaying(type), SoundManager::loops(type)) << "type " << type;
    EXPECT_TRUE(sound->isPlaying(MusicBad)) << "the music does not loop";
}

TEST_F(SoundManagerTest, PlayingAgainRestartsFromTheBeginningOnTheSameChannel) {
    sound->play(SoundApple);
    ChannelMeter first(SoundApple);
    const long length = static_cast<long>(Mix_GetChunk(SoundApple)->alen);
    ASSERT_TRUE(waitUntil([&] { return first.bytes > length / 3; }));
    sound->play(SoundApple);
    ChannelMeter second(SoundApple);
    const long firstStopped = first.bytes;
    EXPECT_EQ(finishedCount[SoundApple], 1) << "the first instance was not cut off";
    EXPECT_EQ(Mix_Playing(-1), 1);
    ASSERT_TRUE(waitUntil([] { return !Mix_Playing(SoundApple); }));
    EXPECT_EQ(first.bytes, firstStopped) << "the cut-off instance went on";
    EXPECT_GT(second.bytes, length * 9 / 10) << "the second instance played too little";
    EXPECT_LE(second.bytes, length) << "the second instance played more than the sound";
}

// Pause holds a channel where it is and the next play restarts it. The two pieces of music share one stream:
// each stops the other, and pausing the piece that is not in it changes nothing.
TEST_F(SoundManagerTest, PauseHoldsAChannelWhereItIsAndTheNextPlayRestartsIt) {
    sound->play(MusicGood);
    sound->play(SoundHolyGrenadeRolling);
    ChannelMeter rolling(SoundHolyGrenadeRolling);
    ASSERT_TRUE(waitUntil([&] { return rolling.bytes > 0; }));
    sound->play(MusicBad);
    sound->pause(SoundHolyGrenadeRolling);
    sound->pause(SoundGodRegret);  // not playing: changes nothing
    sound->pause(MusicGood);       // not in the stream: changes nothing
    const long rollingAt = rolling.bytes;
    ASSERT_TRUE(mixerRunsFor(0.15));
    EXPECT_EQ(rolling.bytes, rollingAt);
    EXPECT_EQ((std::vector<bool>{sound->isPlaying(SoundHolyGrenadeRolling), sound->isPlaying(MusicGood),
                                 sound->isPlaying(MusicBad), sound->isPlaying(SoundGodRegret),
                                 Mix_Paused(SoundGodRegret) != 0, Mix_PausedMusic() != 0}),
              (std::vector<bool>{true, false, true, false, false, false}));
    EXPECT_EQ(finishedCount[SoundHolyGrenadeRolling], 0) << "stopped instead of paused";

    sound->pause(MusicBad);
    EXPECT_TRUE(Mix_PausedMusic());
    EXPECT_TRUE(sound->isPlaying(MusicBad));
    sound->play(MusicGood);
    sound->play(SoundHolyGrenadeRolling);
    EXPECT_FALSE(Mix_PausedMusic());
    EXPECT_FALSE(Mix_Paused(SoundHolyGrenadeRolling));
    EXPECT_TRUE(sound->isPlaying(MusicGood));
    EXPECT_EQ(finishedCount[SoundHolyGrenadeRolling], 1) << "not restarted";
}

TEST_F(SoundManagerTest, PauseAllHoldsEveryAudibleSoundAndResumeAllLetsExactlyThoseGoOn) {
    sound->play(MusicBad);
    sound->play(SoundHolyGrenadeCrafting);
    sound->play(SoundHolyGrenadeRolling);
    sound->pause(SoundHolyGrenadeRolling);  // held by the game itself
    ChannelMeter crafting(SoundHolyGrenadeCrafting);
    ASSERT_TRUE(waitUntil([&] { return crafting.bytes > 0; }));

    sound->pauseAll();
    sound->pauseAll();  // a second pause forgets nothing
    EXPECT_TRUE(Mix_PausedMusic());
    EXPECT_TRUE(Mix_Paused(SoundHolyGrenadeCrafting));
    const long craftingAt = crafting.bytes;
    ASSERT_TRUE(mixerRunsFor(0.15));
    EXPECT_EQ(crafting.bytes, craftingAt);
    EXPECT_FALSE(sound->isPlaying(SoundWarning)) << "nothing new starts";

    sound->resumeAll();
    EXPECT_FALSE(Mix_PausedMusic());
    EXPECT_FALSE(Mix_Paused(SoundHolyGrenadeCrafting));
    EXPECT_TRUE(Mix_Paused(SoundHolyGrenadeRolling)) << "what the game had paused stays paused";
    ASSERT_TRUE(waitUntil([&] { return crafting.bytes > craftingAt; }));
    EXPECT_EQ(finishedCount[SoundHolyGrenadeCrafting], 0) << "resumed where it was, not restarted";

    // A later resume without a pause wakes nothing that the game itself had paused.
    sound->pause(SoundHolyGrenadeCrafting);
    sound->pause(MusicBad);
    sound->resumeAll();
    EXPECT_TRUE(Mix_Paused(SoundHolyGrenadeCrafting));
    EXPECT_TRUE(Mix_PausedMusic());
}

// Volumes start from the table, are clamped, are kept for later plays and reach a playing channel at once; mute
// silences every channel, those started or given a volume meanwhile included (the game sets the crafting and
// music volumes every frame), and restores the kept volumes.
TEST_F(SoundManagerTest, VolumesReachTheirChannelsAndMuteSilencesEveryChannelUntilItIsToggledBack) {
    using Volumes = std::vector<std::pair<int, int>>;
    const auto expectVolumes = [](const Volumes& expected) {
        Volumes actual;
        for (const auto& [type, volume] : expected) actual.emplace_back(type, mixerVolumeOf(type));
        EXPECT_EQ(actual, expected);
    };
    sound->setVolume(SoundApple, std::numeric_limits<float>::quiet_NaN());
    sound->setVolume(SoundHolyGrenadeCrafting, 0.25f);
    for (const int type : {MusicGood, SoundHolyGrenadeCrafting, SoundLightningPick, SoundLightningShoot, SoundWarning})
        sound->play(type);
    expectVolumes({{MusicGood, 128}, {SoundHolyGrenadeCrafting, 32}, {SoundLightningPick, 102},
                   {SoundLightningShoot, 38}, {SoundWarning, 64}, {SoundApple, 128}});
    sound->setVolume(SoundHolyGrenadeCrafting, 0.5f);
    expectVolumes({{SoundHolyGrenadeCrafting, 64}});

    EXPECT_FALSE(sound->muted);
    sound->toggleMute();
    sound->setVolume(SoundHolyGrenadeCrafting, 0.75f);
    sound->setVolume(MusicGood, 0.5f);
    expectVolumes({{MusicGood, 0}, {SoundHolyGrenadeCrafting, 0}, {SoundLightningPick, 0}});
    sound->setVolume(SoundHolyGrenadeRolling, 0.5f);
    sound->play(SoundHolyGrenadeRolling);
    expectVolumes({{SoundHolyGrenadeRolling, 0}});
    EXPECT_TRUE(sound->muted);
    EXPECT_TRUE(sound->isPlaying(SoundHolyGrenadeRolling)) << "muted sounds still play";

    sound->toggleMute();
    sound->play(SoundApple);
    expectVolumes({{MusicGood, 64}, {SoundHolyGrenadeCrafting, 96}, {SoundLightningPick, 102},
                   {SoundHolyGrenadeRolling, 64}, {SoundApple, 128}});
    EXPECT_FALSE(sound->muted);
}

TEST_F(SoundManagerTest, TypesOutsideTheTableAreReportedWhenPlayedAndTouchNothing) {
    sound->play(MusicGood);
    const auto volumesBefore = sound->volumes;
    std::string err;
    const std::string out =
        omxtest::capturedStdout([&] { err = omxtest::capturedStderr([&] { sound->play(16), sound->play(-1); }); });
    EXPECT_EQ(err + out, "Sound type 16: not found\nSound type -1: not found\n");
    for (const int type : {-1, 16, -1000}) {
        sound->pause(type);
        sound->setVolume(type, 0.1f);
        EXPECT_FALSE(sound->isPlaying(type)) << type;
        EXPECT_FALSE(SoundManager::loops(type)) << type;
        EXPECT_STREQ(SoundManager::fileName(type), "") << type;
    }
    EXPECT_EQ((std::vector<int>{Mix_Playing(-1), Mix_PausedMusic(), mixerVolumeOf(MusicGood)}),
              (std::vector<int>{0, 0, 128}));
    EXPECT_EQ(sound->volumes, volumesBefore);
}

// Runs in the death-test child: the error line goes to standard output, which the test reads as stderr.
void constructWithStdoutOnStderr(const std::string& folder) {
    dup2(STDERR_FILENO, STDOUT_FILENO);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    SoundManager sound(folder);
}

// The files load in the table's order (7, 8 and 9 before 5), so the first missing one in that order is named.
TEST(SoundFailureDeathTest, AMissingOrBrokenFileEndsWithStatusMinusOneAndNamesIt) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const struct {
        std::vector<int> missing;
        bool garbageInstead;  // the first missing file is there, but holds no sound
        const char* line;
    } cases[] = {
        {{MusicBad}, false, "\nSound error! \\(SDL_RWFromFile [^\n]*/MusicBad\\.mp3\\) Couldn't open [^\n]+\n$"},
        {{SoundGodLaugh4}, true, "\nSound error! \\(Mix_LoadWAV_RW [^\n]*/SoundGodLaugh4\\.mp3\\) [^\n]+\n$"},
        {{MusicGood}, true, "\nSound error! \\(Mix_LoadMUSType_RW [^\n]*/MusicGood\\.mp3\\) [^\n]+\n$"},
        {{SoundHolyGrenadeFinished, SoundPeopleShot}, false, "SoundPeopleShot\\.mp3"},
    };
    for (const auto& c : cases) {
        const std::string folder = soundFolderWithout(c.missing);
        if (c.garbageInstead)
            omxtest::writeFile(folder + SoundManager::fileName(c.missing[0]), "these bytes are no sound at all\n");
        EXPECT_EXIT(constructWithStdoutOnStderr(folder), testing::ExitedWithCode(255), c.line);
    }
}

// The fallback prints one line and plays; closing a manager releases the device for the next one.
TEST(SoundFallback, AnUnusableDriverFallsBackToTheSilentOneAndPlays) {
    SDL_ResetHint(SDL_HINT_AUDIODRIVER);
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    const std::string out = omxtest::capturedStdout([] {
        std::unique_ptr<SoundManager> sound;
        const std::string err =
            omxtest::capturedStderr([&] { sound = std::make_unique<SoundManager>(completeSoundFolder()); });
        EXPECT_EQ(err.rfind("No sound device (", 0), 0u) << err;
        EXPECT_EQ(err.find('\n'), err.size() - 1) << "one line: " << err;
        EXPECT_STREQ(SDL_GetCurrentAudioDriver(), "dummy");
        sound->play(SoundApple);
        EXPECT_TRUE(sound->isPlaying(SoundApple));
        EXPECT_TRUE(Mix_Playing(SoundApple));
    });
    EXPECT_EQ(out, "") << "the fallback is silent";
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    for (int round = 0; round < 2; ++round) {
        SoundManager sound(completeSoundFolder());
        sound.play(MusicGood);
        EXPECT_TRUE(sound.isPlaying(MusicGood)) << "round " << round;
    }
    EXPECT_EQ(SDL_WasInit(SDL_INIT_AUDIO), 0u);
}

// A search started ahead, on its own thread, is taken up by the next manager: the same line with SDL's
// reason (kept per thread by SDL), the same fallback; the manager after it searches for itself.
TEST(SoundFallback, ADeviceSearchStartedAheadIsTakenUpByTheNextManager) {
    SDL_ResetHint(SDL_HINT_AUDIODRIVER);
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    const std::string err = omxtest::capturedStderr([] {
        startAudioDeviceSearch();
        SoundManager sound(completeSoundFolder());
        EXPECT_STREQ(SDL_GetCurrentAudioDriver(), "dummy");
        sound.play(SoundApple);
        EXPECT_TRUE(sound.isPlaying(SoundApple));
        EXPECT_TRUE(Mix_Playing(SoundApple));
    });
    const std::string prefix = "No sound device (";
    ASSERT_EQ(err.rfind(prefix, 0), 0u) << err;
    EXPECT_NE(err.compare(prefix.size(), 2, "):"), 0) << "the reason is given: " << err;
    EXPECT_NE(err.find("no-such-driver"), std::string::npos) << err;
    EXPECT_EQ(err.find('\n'), err.size() - 1) << "one line: " << err;

    setenv("SDL_AUDIODRIVER", "dummy", 1);
    SDL_ResetHint(SDL_HINT_AUDIODRIVER);
    const std::string quiet = omxtest::capturedStderr([] {
        startAudioDeviceSearch();
        SoundManager found(completeSoundFolder());
        found.play(MusicGood);
        EXPECT_TRUE(found.isPlaying(MusicGood));
    });
    EXPECT_EQ(quiet, "") << "a device was found";
    SoundManager again(completeSoundFolder());
    again.play(MusicBad);
    EXPECT_TRUE(again.isPlaying(MusicBad));
}

}  // namespace

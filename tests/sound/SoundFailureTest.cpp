// SoundFailureTest.cpp -- what ends the program (missing or broken files) and the fallback to the silent driver.
#include <cstdlib>
#include <string>

#include <unistd.h>

#include <gtest/gtest.h>
#include <SDL.h>
#include <SDL_mixer.h>

#include "SoundFiles.h"
#include "sound/SoundManager.h"

namespace {

// Runs in the death-test child: the error line goes to standard output, which the test reads as stderr.
void constructWithStdoutOnStderr(const std::string& folder) {
    dup2(STDERR_FILENO, STDOUT_FILENO);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    SoundManager sound(folder);
}

class SoundFailureDeathTest : public ::testing::Test {
protected:
    void SetUp() override { GTEST_FLAG_SET(death_test_style, "threadsafe"); }
};

TEST_F(SoundFailureDeathTest, MissingFileEndsWithStatusMinusOneAndNamesIt) {
    const std::string folder = soundtest::soundFolderWithTypes("missing", {0, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15});
    EXPECT_EXIT(constructWithStdoutOnStderr(folder), testing::ExitedWithCode(255),
                "\nSound error! \\(SDL_RWFromFile [^\n]*/MusicBad\\.mp3\\) Couldn't open [^\n]+\n$");
}

TEST_F(SoundFailureDeathTest, GarbageFileEndsWithStatusMinusOneAndNamesIt) {
    const std::string folder = soundtest::soundFolderWithTypes("garbage", {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 15});
    soundtest::writeTextFile(folder + "SoundGodLaugh4.mp3", "these bytes are no sound at all\n");
    EXPECT_EXIT(constructWithStdoutOnStderr(folder), testing::ExitedWithCode(255),
                "\nSound error! \\(Mix_LoadWAV_RW [^\n]*/SoundGodLaugh4\\.mp3\\) [^\n]+\n$");
}

TEST_F(SoundFailureDeathTest, FilesLoadInTheTableOrder) {
    // Types 5 and 7 are both missing: 7 is loaded before 5.
    const std::string folder = soundtest::soundFolderWithTypes("order", {0, 1, 2, 3, 4, 6, 8, 9, 10, 11, 12, 13, 14, 15});
    EXPECT_EXIT(constructWithStdoutOnStderr(folder), testing::ExitedWithCode(255),
                "SoundLightningPick\\.mp3");
    // Types 9 and 5 missing: 9 first.
    const std::string second = soundtest::soundFolderWithTypes("order", {0, 1, 2, 3, 4, 6, 7, 8, 10, 11, 12, 13, 14, 15});
    EXPECT_EXIT(constructWithStdoutOnStderr(second), testing::ExitedWithCode(255), "SoundPeopleShot\\.mp3");
}

TEST(SoundFallback, AnUnusableDriverFallsBackToTheSilentOneAndPlays) {
    SDL_ResetHint(SDL_HINT_AUDIODRIVER);
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    {
        SoundManager sound(soundtest::completeSoundFolder());
        const std::string err = testing::internal::GetCapturedStderr();
        EXPECT_EQ(err.rfind("No sound device (", 0), 0u) << err;
        EXPECT_EQ(err.find('\n'), err.size() - 1) << "one line: " << err;
        EXPECT_STREQ(SDL_GetCurrentAudioDriver(), "dummy");
        sound.play(SoundApple);
        EXPECT_TRUE(sound.isPlaying(SoundApple));
        EXPECT_TRUE(Mix_Playing(SoundApple));
    }
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "") << "the fallback is silent";
    setenv("SDL_AUDIODRIVER", "dummy", 1);
}

TEST(SoundFallback, ClosingTheManagerReleasesTheDeviceForTheNextOne) {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    for (int round = 0; round < 2; ++round) {
        SoundManager sound(soundtest::completeSoundFolder());
        sound.play(MusicGood);
        EXPECT_TRUE(sound.isPlaying(MusicGood)) << "round " << round;
    }
    EXPECT_EQ(SDL_WasInit(SDL_INIT_AUDIO), 0u);
}

}  // namespace

// SoundGateTest.cpp -- a MIDI, an Ogg or a FLAC file under a sound's .mp3 name never reaches the mixer's other
// decoders: the sound manager refuses it with the sound error line and status -1, as it refuses a file it
// cannot decode; a real MP3 file with an ID3 tag in front still plays.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include <unistd.h>

#include <SDL.h>
#include <SDL_mixer.h>

#include "sound/SoundManager.h"
#include "support/Files.h"
#include "support/OtherAudio.h"

namespace {

namespace fs = std::filesystem;

const std::string builtSounds = std::string(OMNIVEX_BINARY_DIR) + "/resources/sounds/";

// A copy of the game's sixteen sounds with one file replaced by `bytes`.
std::string soundsWith(const std::string& name, const std::string& bytes) {
    static int counter = 0;
    const std::string folder = omxtest::scratchFolder() + "/gate" + std::to_string(counter++) + "/";
    fs::create_directories(folder);
    for (const std::string& file : omxtest::filesIn(builtSounds))
        if (file != name) fs::copy_file(builtSounds + file, folder + file);
    EXPECT_TRUE(omxtest::writeFile(folder + name, bytes));
    return folder;
}

// Runs in the death-test child: the error line goes to standard output, which the test reads as stderr.
void loadWithStdoutOnStderr(const std::string& folder) {
    dup2(STDERR_FILENO, STDOUT_FILENO);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    SoundManager sound(folder);
}

TEST(SoundGateDeathTest, MidiOggAndFlacUnderAnMp3NameAreRefusedWithTheSoundErrorLine) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const struct {
        const char* kind;
        std::string bytes;
    } files[] = {
        {"a MIDI file", omxtest::midiFile()},
        {"an Ogg file", omxtest::oggVorbisFile()},
        {"a FLAC file", omxtest::flacFile()},
    };
    for (const auto& file : files) {
        // An effect, decoded whole, and a piece of music, decoded as it plays.
        EXPECT_EXIT(loadWithStdoutOnStderr(soundsWith("SoundApple.mp3", file.bytes)), testing::ExitedWithCode(255),
                    "\nSound error! \\(Mix_LoadWAV_RW [^\n]*/SoundApple\\.mp3\\) not MP3 audio: " +
                        std::string(file.kind) + "\n$");
        EXPECT_EXIT(loadWithStdoutOnStderr(soundsWith("MusicBad.mp3", file.bytes)), testing::ExitedWithCode(255),
                    "\nSound error! \\(Mix_LoadMUSType_RW [^\n]*/MusicBad\\.mp3\\) not MP3 audio: " +
                        std::string(file.kind) + "\n$");
    }
}

TEST(SoundGate, AnMp3FileWithAnId3TagInFrontIsReadAndPlays) {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    const std::string tag = omxtest::id3Tag(1000);
    const std::string folder = soundsWith("SoundApple.mp3", tag + omxtest::readFile(builtSounds + "SoundApple.mp3"));
    const std::string musicFolder = soundsWith("MusicGood.mp3", tag + omxtest::readFile(builtSounds + "MusicGood.mp3"));
    for (const std::string& tagged : {folder, musicFolder}) {
        SoundManager sound(tagged);
        sound.play(SoundApple);
        EXPECT_TRUE(sound.isPlaying(SoundApple)) << tagged;
        sound.play(MusicGood);
        EXPECT_TRUE(sound.isPlaying(MusicGood)) << tagged;
    }
}

}  // namespace

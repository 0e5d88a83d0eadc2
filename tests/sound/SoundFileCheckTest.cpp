// SoundFileCheckTest.cpp -- the check that lets only MP3 audio reach the mixer: frame headers, ID3 tags, what
// other files are taken for, and the check of an opened file that leaves its read position alone.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include <SDL.h>

#include "sound/SoundFileCheck.h"
#include "support/Files.h"
#include "support/OtherAudio.h"

namespace {

using Bytes = std::vector<uint8_t>;

TEST(SoundFileCheck, OnlyAnMpegLayerThreeFrameHeaderCounts) {
    const std::pair<Bytes, bool> cases[] = {
        {{0xFF, 0xFB, 0x90, 0xC4}, true},   // MPEG 1 Layer III, 128 kbit/s, 44.1 kHz (the generator's music)
        {{0xFF, 0xFB, 0x50, 0xC4}, true},   // 64 kbit/s (its effects)
        {{0xFF, 0xFA, 0x90, 0x64}, true},   // with a checksum
        {{0xFF, 0xF3, 0x80, 0x00}, true},   // MPEG 2
        {{0xFF, 0xE3, 0x40, 0x00}, true},   // MPEG 2.5
        {{0xFF, 0xFB, 0x00, 0x00}, true},   // free bit rate
        {{0xFF, 0xFD, 0x90, 0xC4}, false},  // Layer II
        {{0xFF, 0xFF, 0x90, 0xC4}, false},  // Layer I
        {{0xFF, 0xF9, 0x90, 0xC4}, false},  // layer 0 is reserved
        {{0xFF, 0xEB, 0x90, 0xC4}, false},  // the reserved MPEG version
        {{0xFF, 0xFB, 0xF0, 0xC4}, false},  // the forbidden bit rate
        {{0xFF, 0xFB, 0x9C, 0xC4}, false},  // the reserved sampling rate
        {{0xFF, 0xDB, 0x90, 0xC4}, false},  // sync one bit short
        {{0xFE, 0xFB, 0x90, 0xC4}, false},
        {{'M', 'T', 'h', 'd'}, false},
    };
    for (const auto& [bytes, frame] : cases)
        EXPECT_EQ(isMp3FrameHeader(bytes.data()), frame) << std::hex << int(bytes[1]) << " " << int(bytes[2]);
}

TEST(SoundFileCheck, AnId3TagIsMeasuredFromItsHeader) {
    const std::pair<Bytes, size_t> cases[] = {
        {{'I', 'D', '3', 4, 0, 0, 0, 0, 2, 1}, 10 + 257},
        {{'I', 'D', '3', 3, 0, 0, 0, 0, 0, 0}, 10},
        {{'I', 'D', '3', 2, 0, 0, 0x7F, 0x7F, 0x7F, 0x7F}, 10 + 0x0FFFFFFF},
        {{'I', 'D', '3', 4, 0, 0x10, 0, 0, 0, 20}, 10 + 20 + 10},  // with a footer
        {{'I', 'D', '3', 3, 0, 0x10, 0, 0, 0, 20}, 10 + 20},       // the flag means no footer before 2.4
        {{'I', 'D', '3', 4, 0, 0, 0, 0, 0x80, 0}, 0},              // a size byte with its top bit set
        {{'I', 'D', '3', 5, 0, 0, 0, 0, 0, 0}, 0},                 // an unknown version
        {{'I', 'D', '3', 4, 0xFF, 0, 0, 0, 0, 0}, 0},
        {{'I', 'D', '2', 4, 0, 0, 0, 0, 0, 0}, 0},
        {{'I', 'D', '3', 4, 0, 0, 0, 0, 0}, 0},  // a header cut short
    };
    for (const auto& [bytes, length] : cases) EXPECT_EQ(id3TagLength(bytes.data(), bytes.size()), length);
}

// Checks bytes written to a file, opened and read from `offset` on.
std::pair<bool, std::string> check(const std::string& bytes, Sint64 offset = 0) {
    const std::string path =
        omxtest::scratchFile("check.mp3", std::string(static_cast<size_t>(offset), 'x') + bytes);
    SDL_RWops* const file = SDL_RWFromFile(path.c_str(), "rb");
    EXPECT_NE(file, nullptr);
    if (!file) return {false, "cannot open " + path};
    SDL_RWseek(file, offset, RW_SEEK_SET);
    std::string reason;
    const bool accepted = checkMp3File(file, reason);
    EXPECT_EQ(SDL_RWtell(file), offset) << "the read position is put back";
    SDL_RWclose(file);
    return {accepted, reason};
}

TEST(SoundFileCheck, AFileMustStartWithAnMp3FrameAtOnceOrAfterItsId3Tag) {
    const std::string frame = "\xFF\xFB\x90\xC4" + std::string(400, '\x55');
    const std::string noFrameAfterTag = "not MP3 audio: an ID3 tag with no MPEG audio frame after it";
    using Result = std::pair<bool, std::string>;
    const std::pair<std::string, Result> cases[] = {
        {frame, {true, ""}},
        {omxtest::id3Tag(0) + frame, {true, ""}},
        {omxtest::id3Tag(3000) + frame, {true, ""}},
        {omxtest::midiFile(), {false, "not MP3 audio: a MIDI file"}},
        {omxtest::oggVorbisFile(), {false, "not MP3 audio: an Ogg file"}},
        {omxtest::flacFile(), {false, "not MP3 audio: a FLAC file"}},
        {std::string("RIFF\x24\0\0\0WAVEfmt ", 16) + std::string(40, '\0'), {false, "not MP3 audio: a WAV file"}},
        {"", {false, "not MP3 audio: an empty file"}},
        {"\xFF\xFB\x90", {false, "not MP3 audio: no MPEG audio frame at its start"}},
        {"these bytes are no sound at all\n", {false, "not MP3 audio: no MPEG audio frame at its start"}},
        {"\xFF\xFD\x90\xC4" + std::string(400, '\x55'), {false, "not MP3 audio: no MPEG audio frame at its start"}},
        {omxtest::id3Tag(20) + omxtest::midiFile(), {false, noFrameAfterTag}},
        {omxtest::id3Tag(5000), {false, noFrameAfterTag}},
        {omxtest::id3Tag(20).substr(0, 10), {false, noFrameAfterTag}},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        EXPECT_EQ(check(cases[i].first), cases[i].second) << "case " << i;
        EXPECT_EQ(check(cases[i].first, 7), cases[i].second) << "case " << i << " read from byte 7";
    }
}

// Every sound the generator makes passes: the check refuses nothing the game ships.
TEST(SoundFileCheck, TheGeneratedSoundsPass) {
    const std::string folder = std::string(OMNIVEX_BINARY_DIR) + "/resources/sounds/";
    const std::vector<std::string> names = omxtest::filesIn(folder);
    ASSERT_EQ(names.size(), 16u);
    for (const std::string& name : names) {
        SDL_RWops* const file = SDL_RWFromFile((folder + name).c_str(), "rb");
        ASSERT_NE(file, nullptr) << name;
        std::string reason;
        EXPECT_TRUE(checkMp3File(file, reason)) << name << ": " << reason;
        SDL_RWclose(file);
    }
}

}  // namespace

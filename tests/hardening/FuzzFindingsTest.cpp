// FuzzFindingsTest.cpp -- every input the fuzz runs flagged, kept in fuzz-findings/ and replayed through the
// reader it troubled: refused before the importer sees it, read without fault, or refused by the mixer.
#include <gtest/gtest.h>

#include <SDL.h>
#include <SDL_mixer.h>

#include "support/Files.h"
#include "assets/Model.h"
#include "assets/ObjCheck.h"
#include "assets/Texture.h"
#include "sound/SoundRules.h"

namespace {

const std::string findings = std::string(OMNIVEX_SOURCE_DIR) + "/tests/hardening/fuzz-findings/";

std::vector<std::string> findingsStartingWith(const std::string& prefix) {
    std::vector<std::string> paths;
    for (const std::string& name : omxtest::filesIn(findings))
        if (name.rfind(prefix, 0) == 0) paths.push_back(findings + name);
    return paths;
}

TEST(FuzzFindings, ModelsTheImporterMishandlesNeverReachIt) {
    const std::vector<std::string> paths = findingsStartingWith("obj-");
    ASSERT_FALSE(paths.empty());
    for (const std::string& path : paths) {
        std::string reason;
        EXPECT_FALSE(checkObjFile(path, reason)) << path;
        EXPECT_NE(reason.rfind("line ", 0), std::string::npos) << path << ": " << reason;
        MeshArrays arrays;
        arrays.positions = {1, 2, 3, 4};
        EXPECT_FALSE(importMeshArrays(path, arrays, reason)) << path;
        EXPECT_EQ(arrays.vertexCount(), 0) << path;
    }
}

TEST(FuzzFindings, AZeroHeightTgaIsAnEmptyImage) {
    const TgaImage image = readTga(findings + "tga-zero-height.tga");
    EXPECT_EQ(std::make_tuple(image.ok, image.width, image.height, image.pixels.size()),
              std::make_tuple(true, 2, 0, size_t{0}));
}

TEST(FuzzFindings, SoundFilesTheMixerCannotUseAreRefusedOrHoldOnlyTheirOwnData) {
    const std::vector<std::string> paths = findingsStartingWith("sound-");
    ASSERT_FALSE(paths.empty());
    SDL_SetHint(SDL_HINT_AUDIODRIVER, "dummy");
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_AUDIO), 0) << SDL_GetError();
    const AudioFormat format = chooseAudioFormat(SDL_GetAudioDeviceName(0, 0));
    ASSERT_EQ(Mix_OpenAudio(format.frequency, format.format, format.channels, format.chunkSize), 0)
        << Mix_GetError();
    for (const std::string& path : paths) {
        SDL_RWops* const file = SDL_RWFromFile(path.c_str(), "rb");
        ASSERT_NE(file, nullptr) << path;
        Mix_Chunk* const chunk = Mix_LoadWAV_RW(file, 1);
        // Refused, or a sound made only of what the file holds (resampling to the device's format may grow
        // it a few times), never the size a header claims.
        if (chunk) {
            EXPECT_LE(chunk->alen, 64u * omxtest::readFile(path).size()) << path;
            Mix_FreeChunk(chunk);
        }
    }
    Mix_CloseAudio();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

}  // namespace

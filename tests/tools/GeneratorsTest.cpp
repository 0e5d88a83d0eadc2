// GeneratorsTest.cpp -- the art and sound generators themselves: exactly the files the game reads, the same bytes
// as the build's own run, refusal of a folder they cannot write, the application icon, and the
// contact sheet that renders every model and picture through the game's loaders (real GL under Xvfb).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <stb/stb_image.h>

#include "ArtResources.h"
#include "sound/SoundCatalogue.h"
#include "support/Files.h"

namespace fs = std::filesystem;

namespace {

const std::string artgen = "tools/artgen/omnivex_artgen", soundgen = "tools/soundgen/omnivex_soundgen";

// Runs a program of the build (its output thrown away) and gives its exit status.
int run(const std::string& program, const std::string& arguments) {
    return std::system(
        ("cd \"" OMNIVEX_BINARY_DIR "\" && ./" + program + " " + arguments + " > /dev/null 2>&1").c_str());
}

std::string quoted(const std::string& path) { return "\"" + path + "\""; }

// Every regular file below root, as sorted paths relative to it.
std::vector<std::string> filesBelow(const std::string& root) {
    std::vector<std::string> files;
    std::error_code error;
    for (const auto& entry : fs::recursive_directory_iterator(root, error))
        if (entry.is_regular_file()) files.push_back(fs::relative(entry.path(), root).string());
    std::sort(files.begin(), files.end());
    return files;
}

// Runs the generator (with `arguments` before the folder) a second time after the build's run: it writes exactly
// `files`, not empty, with the same bytes as the build's copies in `built`.
void expectARunWritesTheBuiltFiles(const std::string& program, const std::string& arguments,
                                   const std::string& built, std::vector<std::string> files) {
    std::sort(files.begin(), files.end());
    omxtest::TempFolder folder("generated");
    ASSERT_EQ(run(program, arguments + quoted(folder.path())), 0);
    EXPECT_EQ(filesBelow(folder.path()), files) << "files the game does not read, or some missing";
    for (const std::string& file : files) {
        const std::string bytes = omxtest::readFile(folder / file);
        EXPECT_FALSE(bytes.empty()) << file;
        EXPECT_TRUE(bytes == omxtest::readFile(OMNIVEX_BINARY_DIR "/" + built + file)) << file << " differs run to run";
    }
}

TEST(Generators, ArtRunWritesExactlyTheGamesModelsAndTexturesWithTheBuildsBytes) {
    std::vector<std::string> files;
    for (const std::string& file : arttest::gameModelFiles) files.push_back("models/" + file);
    for (const std::string& file : arttest::gameTextureFiles) files.push_back("textures/" + file);
    expectARunWritesTheBuiltFiles(artgen, "", "resources/", files);
}

TEST(Generators, SoundRunWritesExactlyTheGamesSoundsWithTheBuildsBytes) {
    std::vector<std::string> files;
    for (const SoundFile& file : soundFiles) files.push_back(file.name);
    expectARunWritesTheBuiltFiles(soundgen, "", "resources/sounds/", files);
}

TEST(Generators, RefuseAMissingOrUnwritableFolder) {
    omxtest::TempFolder scratch("generators");
    const std::string blocked = scratch / "blocked";  // a file where the folder should be
    ASSERT_TRUE(omxtest::writeFile(blocked, "x"));
    for (const std::string& program : {artgen, soundgen}) {
        EXPECT_NE(run(program, ""), 0) << program << " without a folder";
        EXPECT_NE(run(program, quoted(blocked)), 0) << program << " into a file";
    }
    EXPECT_NE(run(artgen, "--icons /proc/omnivex-icons"), 0);
}

// Every theme size, transparent in the corners, the golden grenade in the middle.
TEST(Generators, IconAtEveryThemeSizeOnATransparentGroundAndTheSameEachRun) {
    const int sizes[] = {16, 24, 32, 48, 64, 128, 256};
    std::vector<std::string> files;
    for (const int size : sizes)
        files.push_back("hicolor/" + std::to_string(size) + "x" + std::to_string(size) + "/apps/omnivex.png");
    expectARunWritesTheBuiltFiles(artgen, "--icons ", "icons/", files);
    for (size_t i = 0; i < files.size(); ++i) {
        SCOPED_TRACE(files[i]);
        const int size = sizes[i];
        int width = 0, height = 0, channels = 0;
        unsigned char* pixels =
            stbi_load((OMNIVEX_BINARY_DIR "/icons/" + files[i]).c_str(), &width, &height, &channels, 4);
        ASSERT_NE(pixels, nullptr);
        const auto at = [&](int x, int y) { return pixels + (static_cast<size_t>(y) * width + x) * 4; };
        const unsigned char* middle = at(size / 2, size * 150 / 256);
        EXPECT_EQ((std::vector<int>{width, height, at(0, 0)[3], at(size - 1, size - 1)[3], middle[3]}),
                  (std::vector<int>{size, size, 0, 0, 255}));
        EXPECT_GT(int{middle[0]}, 180) << "not golden";
        EXPECT_GT(int{middle[0]}, middle[2] + 80) << "not golden: blue " << int{middle[2]};
        stbi_image_free(pixels);
    }
}

TEST(Generators, EveryTileOfTheContactSheetShowsItsModelOrPicture) {
    const char* display = std::getenv("DISPLAY");
    ASSERT_NE(display, nullptr) << "no display: run the tests under xvfb-run";
    ASSERT_STRNE(display, "") << "no display: run the tests under xvfb-run";
    omxtest::TempFolder folder("sheet");
    const std::string output = folder / "sheet.png";
    ASSERT_EQ(run("tools/contactsheet/omnivex_contactsheet", quoted(output)), 0);
    int width = 0, height = 0, channels = 0;
    unsigned char* pixels = stbi_load(output.c_str(), &width, &height, &channels, 3);
    ASSERT_NE(pixels, nullptr);
    constexpr int tile = 224, label = 20, columns = 8;
    ASSERT_EQ((std::vector<int>{width, height}), (std::vector<int>{columns * tile, 7 * (tile + label)}));
    // 54 tiles on the background (0.16, 0.17, 0.2); a tile whose model failed to load stays that colour.
    for (int t = 0; t < 54; ++t) {
        int drawn = 0;
        for (int y = (t / columns) * (tile + label), row = 0; row < tile; ++y, ++row)
            for (int x = (t % columns) * tile; x < (t % columns + 1) * tile; ++x) {
                const unsigned char* p = pixels + (static_cast<size_t>(y) * width + x) * 3;
                drawn += std::abs(p[0] - 41) + std::abs(p[1] - 43) + std::abs(p[2] - 51) > 30;
            }
        EXPECT_GT(drawn, tile * tile / 100) << "tile " << t << " is empty";
    }
    stbi_image_free(pixels);
}

}  // namespace

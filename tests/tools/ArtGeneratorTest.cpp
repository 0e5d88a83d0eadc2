// ArtGeneratorTest.cpp -- the art generator itself: every named file after a build, identical bytes run to run,
// and the application icon.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include <stb/stb_image.h>
#include <unistd.h>

#include "ArtResources.h"

namespace fs = std::filesystem;

namespace {

const std::string generator = std::string(OMNIVEX_BINARY_DIR) + "/tools/artgen/omnivex_artgen";

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A fresh folder under the system's temporary directory, removed when the test ends.
struct ScratchFolder {
    fs::path path;
    explicit ScratchFolder(const std::string& name)
        : path(fs::temp_directory_path() / (name + "-" + std::to_string(::getpid()))) {
        fs::remove_all(path);
    }
    ~ScratchFolder() {
        std::error_code error;
        fs::remove_all(path, error);
    }
};

// Every regular file below root, as paths relative to it.
std::vector<fs::path> filesBelow(const fs::path& root) {
    std::vector<fs::path> files;
    for (const auto& entry : fs::recursive_directory_iterator(root))
        if (entry.is_regular_file()) files.push_back(fs::relative(entry.path(), root));
    std::sort(files.begin(), files.end());
    return files;
}

}  // namespace

TEST(ArtGenerator, EveryModelAndTextureTheGameNamesExistsAfterTheBuild) {
    for (const std::string& file : arttest::gameModelFiles())
        EXPECT_TRUE(fs::is_regular_file(arttest::resourcePath("models/" + file))) << file;
    for (const std::string& file : arttest::gameTextureFiles())
        EXPECT_TRUE(fs::is_regular_file(arttest::resourcePath("textures/" + file))) << file;
}

TEST(ArtGenerator, TwoRunsWriteIdenticalBytesAndMatchTheBuild) {
    ASSERT_TRUE(fs::exists(generator)) << generator;
    ScratchFolder first("omnivex-art-a"), second("omnivex-art-b");
    ASSERT_EQ(std::system(("\"" + generator + "\" \"" + first.path.string() + "\" > /dev/null").c_str()), 0);
    ASSERT_EQ(std::system(("\"" + generator + "\" \"" + second.path.string() + "\" > /dev/null").c_str()), 0);
    const std::vector<fs::path> files = filesBelow(first.path);
    ASSERT_EQ(files, filesBelow(second.path));
    EXPECT_EQ(files.size(), arttest::gameModelFiles().size() + arttest::gameTextureFiles().size())
        << "the generator writes files the game does not read, or misses some";
    const fs::path built = fs::path(OMNIVEX_BINARY_DIR) / "resources";
    for (const fs::path& file : files) {
        const std::string bytes = readFile(first.path / file);
        EXPECT_FALSE(bytes.empty()) << file;
        EXPECT_TRUE(bytes == readFile(second.path / file)) << file << " differs between two runs";
        EXPECT_TRUE(bytes == readFile(built / file)) << file << " differs from the build's copy";
    }
}

TEST(ArtGenerator, RefusesAMissingOrUnwritableFolder) {
    EXPECT_NE(std::system(("\"" + generator + "\" > /dev/null 2>&1").c_str()), 0) << "no folder given";
    ScratchFolder blocked("omnivex-art-blocked");
    {
        std::ofstream file(blocked.path);  // a file where the folder should be
        file << "x";
    }
    EXPECT_NE(std::system(("\"" + generator + "\" \"" + blocked.path.string() + "\" > /dev/null 2>&1").c_str()), 0);
}

TEST(ArtGenerator, IconAtEveryThemeSizeOnATransparentGroundAndTheSameEachRun) {
    ScratchFolder first("omnivex-icons-a"), second("omnivex-icons-b");
    for (const ScratchFolder* folder : {&first, &second})
        ASSERT_EQ(std::system(("\"" + generator + "\" --icons \"" + folder->path.string() + "\"").c_str()), 0);
    const std::vector<fs::path> files = filesBelow(first.path);
    ASSERT_EQ(files, filesBelow(second.path));
    ASSERT_EQ(files.size(), 7u);
    for (const int size : {16, 24, 32, 48, 64, 128, 256}) {
        const std::string name = std::to_string(size) + "x" + std::to_string(size);
        SCOPED_TRACE(name);
        const fs::path icon = fs::path("hicolor") / name / "apps" / "omnivex.png";
        const std::string bytes = readFile(first.path / icon);
        EXPECT_TRUE(bytes == readFile(second.path / icon));
        EXPECT_TRUE(bytes == readFile(fs::path(OMNIVEX_BINARY_DIR) / "icons" / icon)) << "differs from the build's";
        int width = 0, height = 0, channels = 0;
        unsigned char* pixels = stbi_load_from_memory(reinterpret_cast<const unsigned char*>(bytes.data()),
                                                      static_cast<int>(bytes.size()), &width, &height, &channels, 4);
        ASSERT_NE(pixels, nullptr);
        EXPECT_EQ(width, size);
        EXPECT_EQ(height, size);
        const auto at = [&](int x, int y) { return pixels + (static_cast<size_t>(y) * width + x) * 4; };
        EXPECT_EQ(at(0, 0)[3], 0) << "the corners are transparent";
        EXPECT_EQ(at(size - 1, size - 1)[3], 0);
        // The golden grenade in the middle.
        const unsigned char* middle = at(size / 2, size * 150 / 256);
        EXPECT_EQ(middle[3], 255);
        EXPECT_GT(middle[0], 180);
        EXPECT_GT(middle[0], middle[2] + 80);
        stbi_image_free(pixels);
    }
    EXPECT_NE(std::system(("\"" + generator + "\" --icons /proc/omnivex-icons > /dev/null 2>&1").c_str()), 0);
}

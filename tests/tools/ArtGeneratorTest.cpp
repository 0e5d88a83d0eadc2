// ArtGeneratorTest.cpp -- the art generator itself: every named file after a build, and identical bytes run to run.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

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

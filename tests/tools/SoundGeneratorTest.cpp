// SoundGeneratorTest.cpp -- the sound generator is reproducible: two runs write the same bytes.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "SoundDecoding.h"

namespace {

namespace fs = std::filesystem;

std::vector<char> readBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Runs the generator into folder; true when it exits with status 0.
bool runGenerator(const fs::path& folder) {
    const std::string generator = std::string(OMNIVEX_BINARY_DIR) + "/tools/soundgen/omnivex_soundgen";
    const std::string command = "\"" + generator + "\" \"" + folder.string() + "\"";
    return std::system(command.c_str()) == 0;
}

TEST(SoundGenerator, TwoRunsWriteIdenticalFiles) {
    const fs::path scratch = fs::temp_directory_path() / ("omnivex_soundgen_test_" + std::to_string(getpid()));
    fs::remove_all(scratch);
    ASSERT_TRUE(runGenerator(scratch / "first"));
    ASSERT_TRUE(runGenerator(scratch / "second"));
    for (const auto& expected : soundtest::expectedSounds()) {
        const std::vector<char> first = readBytes(scratch / "first" / expected.fileName);
        const std::vector<char> second = readBytes(scratch / "second" / expected.fileName);
        EXPECT_FALSE(first.empty()) << expected.fileName;
        EXPECT_TRUE(first == second) << expected.fileName << " differs between runs";
    }
    size_t written = 0;
    for (const auto& entry : fs::directory_iterator(scratch / "first")) written += entry.is_regular_file() ? 1 : 0;
    EXPECT_EQ(written, soundtest::expectedSounds().size());
    fs::remove_all(scratch);
}

TEST(SoundGenerator, RefusesToRunWithoutAnOutputFolder) {
    const std::string generator = std::string(OMNIVEX_BINARY_DIR) + "/tools/soundgen/omnivex_soundgen";
    EXPECT_NE(std::system(("\"" + generator + "\" 2> /dev/null").c_str()), 0);
}

}  // namespace

// CommandLineAndStatisticsTest.cpp -- the echoed command line, its two words and options, the data
// folder, the version check and the once-a-second statistics lines.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <vector>

#include "app/App.h"
#include "app/DataFolder.h"

namespace {

CommandLine parse(const std::vector<const char*>& words, std::string* printed = nullptr) {
    std::ostringstream out;
    const CommandLine line = parseCommandLine(static_cast<int>(words.size()), words.data(), out);
    if (printed) *printed = out.str();
    return line;
}

TEST(CommandLine, EveryArgumentIsEchoedOnItsOwnLineProgramPathIncluded) {
    std::string printed;
    const CommandLine line = parse({"/opt/omnivex", "--seed", "7", "highestframerate"}, &printed);
    EXPECT_EQ(printed, "/opt/omnivex\n--seed\n7\nhighestframerate\n");
    EXPECT_TRUE(line.highestFrameRate);
    EXPECT_FALSE(line.fullscreenRequested);
}

TEST(CommandLine, NoArgumentsMeansWindowedWithDefaultSwapInterval) {
    std::string printed;
    const CommandLine line = parse({"./omnivex"}, &printed);
    EXPECT_EQ(printed, "./omnivex\n");
    EXPECT_FALSE(line.fullscreenRequested);
    EXPECT_FALSE(line.highestFrameRate);
}

TEST(CommandLine, WordsAreExactCaseSensitiveAndMayStandAnywhere) {
    EXPECT_FALSE(parse({"x", "Fullscreen"}).fullscreenRequested);
    EXPECT_FALSE(parse({"x", "fullscreen2"}).fullscreenRequested);
    EXPECT_FALSE(parse({"x", "HIGHESTFRAMERATE"}).highestFrameRate);
    const CommandLine both = parse({"x", "highestframerate", "junk", "fullscreen", "fullscreen"});
    EXPECT_TRUE(both.fullscreenRequested);
    EXPECT_TRUE(both.highestFrameRate);
    // The program path is compared too.
    EXPECT_TRUE(parse({"fullscreen"}).fullscreenRequested);
}

// What the player sees for a command line that does not start the game, and its exit status.
struct Answer {
    int status;
    std::string out, err;
};
Answer answer(const std::vector<const char*>& words) {
    std::ostringstream out, err;
    const CommandLine line = readCommandLine(static_cast<int>(words.size()), words.data());
    const int status = answerWithoutPlaying(line, programName(static_cast<int>(words.size()), words.data()), out, err);
    return {status, out.str(), err.str()};
}

TEST(CommandLine, SeedAndDataTakeTheirValueSeparateOrAfterAnEqualsSign) {
    const CommandLine separate = parse({"x", "--seed", "7", "--data", "/srv/omnivex"});
    EXPECT_TRUE(separate.seedGiven);
    EXPECT_EQ(separate.seed, 7u);
    EXPECT_EQ(separate.dataFolder, "/srv/omnivex");
    const CommandLine joined = parse({"x", "--seed=4294967295", "--data=here", "fullscreen"});
    EXPECT_EQ(joined.seed, 4294967295u);
    EXPECT_EQ(joined.dataFolder, "here");
    EXPECT_TRUE(joined.fullscreenRequested);
    EXPECT_FALSE(parse({"x", "fullscreen"}).seedGiven);
    // A value is never read as a play word, and the last of two seeds counts.
    const CommandLine valueIsFolder = parse({"x", "--data", "fullscreen", "--seed", "1", "--seed", "0"});
    EXPECT_FALSE(valueIsFolder.fullscreenRequested);
    EXPECT_EQ(valueIsFolder.seed, 0u);
    EXPECT_TRUE(valueIsFolder.error.empty()) << valueIsFolder.error;
    // After "--" everything is a word, and a lone "-" is one anyway.
    const CommandLine ended = parse({"x", "--", "--bogus", "highestframerate", "-"});
    EXPECT_TRUE(ended.error.empty()) << ended.error;
    EXPECT_TRUE(ended.highestFrameRate);
    EXPECT_EQ(answer({"x", "-", "anything"}).status, -1);
}

TEST(CommandLine, HelpAndVersionAnswerWithoutStartingTheGame) {
    const Answer help = answer({"/usr/games/omnivex", "--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.err, "");
    EXPECT_EQ(help.out.rfind("Usage: omnivex [OPTION]... [fullscreen] [highestframerate]\n", 0), 0u) << help.out;
    for (const char* item : {"--seed N", "--data DIR", "--version", "highestframerate", "P   ", "Escape", "F10"})
        EXPECT_NE(help.out.find(item), std::string::npos) << item;
    const Answer version = answer({"./omnivex", "fullscreen", "--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, std::string("omnivex ") + gameVersion() + "\n");
    EXPECT_EQ(std::string(gameVersion()).find_first_not_of("0123456789."), std::string::npos) << gameVersion();
    EXPECT_EQ(answer({"omnivex", "fullscreen", "--seed", "3"}).status, -1);
}

TEST(CommandLine, UnusableOptionsAreNamedAndEndWithStatusTwo) {
    const Answer unknown = answer({"build/omnivex", "highestframerate", "--verbose", "--help"});
    EXPECT_EQ(unknown.status, 2);
    EXPECT_EQ(unknown.out, "");
    EXPECT_EQ(unknown.err,
              "omnivex: unknown option '--verbose'\n"
              "Try 'omnivex --help' for more information.\n");
    EXPECT_EQ(answer({"x", "-f"}).err.rfind("x: unknown option '-f'\n", 0), 0u);
    EXPECT_EQ(answer({"x", "--help=me"}).status, 2);
    const std::vector<std::pair<std::vector<const char*>, std::string>> cases = {
        {{"x", "--seed"}, "option '--seed' needs a number"},
        {{"x", "--seed", "-1"}, "option '--seed' takes a whole number from 0 to 4294967295, not '-1'"},
        {{"x", "--seed=4294967296"}, "option '--seed' takes a whole number from 0 to 4294967295, not '4294967296'"},
        {{"x", "--seed", "12abc"}, "option '--seed' takes a whole number from 0 to 4294967295, not '12abc'"},
        {{"x", "--seed="}, "option '--seed' takes a whole number from 0 to 4294967295, not ''"},
        {{"x", "--data"}, "option '--data' needs a folder"},
        {{"x", "--data="}, "option '--data' needs a folder"},
    };
    for (const auto& c : cases) {
        const Answer a = answer(c.first);
        EXPECT_EQ(a.status, 2) << c.second;
        EXPECT_EQ(a.err.substr(0, a.err.find('\n')), "x: " + c.second);
    }
}

// A scratch folder with the given subfolders, removed afterwards.
class DataFolders : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/omnivex-data-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        root = pattern;
    }
    void TearDown() override { std::filesystem::remove_all(root); }
    void makeFolders(const std::string& base, bool shaders = true, bool resources = true) {
        if (shaders) std::filesystem::create_directories(root / base / "shaders");
        if (resources) std::filesystem::create_directories(root / base / "resources");
        std::filesystem::create_directories(root / base);
    }
    std::filesystem::path root;
};

TEST_F(DataFolders, AFolderCountsOnlyWithBothShadersAndResources) {
    makeFolders("both");
    makeFolders("noshaders", false, true);
    makeFolders("noresources", true, false);
    EXPECT_TRUE(holdsGameData((root / "both").string()));
    EXPECT_TRUE(holdsGameData((root / "both").string() + "/"));
    EXPECT_FALSE(holdsGameData((root / "noshaders").string()));
    EXPECT_FALSE(holdsGameData((root / "noresources").string()));
    EXPECT_FALSE(holdsGameData((root / "absent").string()));
}

TEST_F(DataFolders, InstalledProgramFindsShareOmnivexBesideItsFolder) {
    makeFolders("usr/share/omnivex");
    std::filesystem::create_directories(root / "usr/games");
    // The working folder of a test run holds the data, so look from a folder that does not.
    const std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::current_path(root);
    const DataFolderSearch fromGames = findDataFolder("", (root / "usr/games/omnivex").string());
    const DataFolderSearch fromBin = findDataFolder("", (root / "usr/bin/omnivex").string());
    const DataFolderSearch nowhere = findDataFolder("", (root / "opt/omnivex/omnivex").string());
    const DataFolderSearch named = findDataFolder((root / "usr/share/omnivex").string(), "");
    const DataFolderSearch namedEmpty = findDataFolder((root / "usr/games").string(), "");
    std::filesystem::current_path(before);

    ASSERT_TRUE(fromGames.found);
    EXPECT_EQ(fromGames.folder, (root / "usr/share/omnivex").string() + "/");
    EXPECT_EQ(fromGames.lookedIn.front(), root.string());
    EXPECT_TRUE(fromBin.found);
    EXPECT_EQ(fromBin.folder, fromGames.folder);
    EXPECT_TRUE(named.found);
    EXPECT_EQ(named.folder, fromGames.folder);
    // Nothing found: every folder tried is named, the working folder first.
    EXPECT_FALSE(nowhere.found);
    EXPECT_EQ(nowhere.lookedIn, (std::vector<std::string>{root.string(), (root / "opt/share/omnivex").string(),
                                                           (root / "opt/omnivex").string()}));
    // A folder named with --data is the only one tried.
    EXPECT_FALSE(namedEmpty.found);
    EXPECT_EQ(namedEmpty.lookedIn, std::vector<std::string>{(root / "usr/games").string()});
}

TEST_F(DataFolders, TheWorkingFolderWinsAndKeepsPathsRelative) {
    makeFolders("usr/share/omnivex");
    makeFolders("play");
    const std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::current_path(root / "play");
    const DataFolderSearch search = findDataFolder("", (root / "usr/bin/omnivex").string());
    std::filesystem::current_path(before);
    EXPECT_TRUE(search.found);
    EXPECT_EQ(search.folder, "");
    EXPECT_EQ(search.lookedIn.size(), 1u);
}

TEST(GLVersionCheck, AcceptsThreeThreeAndLaterAndExplainsOlderVersions) {
    std::ostringstream err;
    EXPECT_TRUE(acceptGLVersion(3, 3, err));
    EXPECT_TRUE(acceptGLVersion(4, 0, err));
    EXPECT_TRUE(acceptGLVersion(4, 6, err));
    EXPECT_EQ(err.str(), "");
    EXPECT_FALSE(acceptGLVersion(3, 2, err));
    EXPECT_EQ(err.str(),
              "Error: OpenGL version 3.3 not supported.\n"
              "       Your version is 3.2.\n"
              "       Try updating your graphics driver.\n");
    std::ostringstream err2;
    EXPECT_FALSE(acceptGLVersion(2, 1, err2));
    EXPECT_NE(err2.str().find("Your version is 2.1."), std::string::npos);
}

TEST(FrameGameTime, AStallPausesTheWorldInsteadOfFastForwardingIt) {
    EXPECT_FLOAT_EQ(frameGameTime(1.0 / 60.0, 1.0f), 1.0f / 60.0f);
    EXPECT_FLOAT_EQ(frameGameTime(0.05, 10.0f), 0.5f);
    EXPECT_FLOAT_EQ(frameGameTime(60.0, 1.0f), 0.25f);  // the window was dragged for a minute
    EXPECT_FLOAT_EQ(frameGameTime(60.0, 10.0f), 2.5f);
    EXPECT_EQ(frameGameTime(-1.0, 1.0f), 0.0f);  // a clock that stepped back
}

TEST(FrameStatistics, PrintsOncePerPeriodOfJustOverOneSecond) {
    std::ostringstream out;
    FrameStatistics stats;
    for (int i = 0; i < 10; ++i) stats.addFrame(0.1, true, false, 0, 0, out);
    EXPECT_EQ(out.str(), "");  // exactly 1.0 s is not yet more than a second
    stats.addFrame(0.05, true, false, 0, 0, out);
    EXPECT_EQ(out.str(), "Fps: 11\n");
    EXPECT_EQ(stats.frameCount, 0);
    EXPECT_EQ(stats.fpsAccumulator, 0.0);
}

TEST(FrameStatistics, CullingLineHalvesTheCountsRoundingDown) {
    std::ostringstream out;
    FrameStatistics stats;
    stats.addFrame(1.5, false, true, 7, 3, out);
    EXPECT_EQ(out.str(), "Drawn Objects: 3, Culled Objects: 1\n");
}

TEST(FrameStatistics, BothLinesInOrderAndNothingWhenBothAreOff) {
    std::ostringstream out;
    FrameStatistics stats;
    stats.addFrame(2.0, true, true, 100, 40, out);
    EXPECT_EQ(out.str(), "Fps: 1\nDrawn Objects: 50, Culled Objects: 20\n");
    std::ostringstream quiet;
    stats.addFrame(2.0, false, false, 100, 40, quiet);
    EXPECT_EQ(quiet.str(), "");
    EXPECT_EQ(stats.frameCount, 0);
}

}  // namespace

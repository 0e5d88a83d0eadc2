// CommandLineAndStatisticsTest.cpp -- the echoed command line, its two words and options, the data
// folder, the version check and the once-a-second statistics lines.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <tuple>
#include <vector>

#include "app/App.h"
#include "app/DataFolder.h"
#include "support/Files.h"

namespace {

using Words = std::vector<const char*>;

CommandLine parse(const Words& words, std::string* printed = nullptr) {
    std::ostringstream out;
    const CommandLine line = parseCommandLine(static_cast<int>(words.size()), words.data(), out);
    if (printed) *printed = out.str();
    return line;
}

// What the player sees for a command line that does not start the game, and its exit status.
struct Answer {
    int status;
    std::string out, err;
};
Answer answer(const Words& words) {
    std::ostringstream out, err;
    const CommandLine line = readCommandLine(static_cast<int>(words.size()), words.data());
    const int status = answerWithoutPlaying(line, programName(static_cast<int>(words.size()), words.data()), out, err);
    return {status, out.str(), err.str()};
}

TEST(CommandLine, EveryArgumentIsEchoedAndThePlayWordsAreExactAndMayStandAnywhere) {
    struct Case {
        Words words;
        bool fullscreen, highest;
    };
    const Case cases[] = {
        {{"./omnivex"}, false, false},
        {{"/opt/omnivex", "--seed", "7", "highestframerate"}, false, true},
        {{"x", "Fullscreen", "fullscreen2", "HIGHESTFRAMERATE"}, false, false},
        {{"x", "highestframerate", "junk", "fullscreen", "fullscreen"}, true, true},
        {{"fullscreen"}, true, false},  // the program path is compared too
    };
    for (const Case& c : cases) {
        std::string printed, expected;
        for (const char* word : c.words) expected += std::string(word) + "\n";
        const CommandLine line = parse(c.words, &printed);
        SCOPED_TRACE(expected);
        EXPECT_EQ(printed, expected);
        EXPECT_EQ(line.fullscreenRequested, c.fullscreen);
        EXPECT_EQ(line.highestFrameRate, c.highest);
        EXPECT_TRUE(line.error.empty()) << line.error;
    }
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
    EXPECT_EQ(valueIsFolder.dataFolder, "fullscreen");
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
    const std::string notANumber = "option '--seed' takes a whole number from 0 to 4294967295, not ";
    const std::vector<std::pair<Words, std::string>> cases = {
        {{"x", "-f"}, "unknown option '-f'"},
        {{"x", "--help=me"}, "unknown option '--help=me'"},
        {{"x", "--seed"}, "option '--seed' needs a number"},
        {{"x", "--seed", "-1"}, notANumber + "'-1'"},
        {{"x", "--seed=4294967296"}, notANumber + "'4294967296'"},
        {{"x", "--seed", "12abc"}, notANumber + "'12abc'"},
        {{"x", "--seed="}, notANumber + "''"},
        {{"x", "--data"}, "option '--data' needs a folder"},
        {{"x", "--data="}, "option '--data' needs a folder"},
    };
    for (const auto& c : cases) {
        const Answer a = answer(c.first);
        EXPECT_EQ(a.status, 2) << c.second;
        EXPECT_EQ(a.err.substr(0, a.err.find('\n')), "x: " + c.second);
    }
}

// A scratch folder in which folders with or without shaders/ and resources/ are made.
class DataFolders : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(scratch.ok()); }
    void makeFolders(const std::string& base, bool shaders = true, bool resources = true) {
        std::filesystem::create_directories(root / base);
        if (shaders) std::filesystem::create_directories(root / base / "shaders");
        if (resources) std::filesystem::create_directories(root / base / "resources");
    }
    // The search as started from `workingFolder`.
    DataFolderSearch searchFrom(const std::filesystem::path& workingFolder, const std::string& named,
                                const std::string& program) {
        const std::filesystem::path before = std::filesystem::current_path();
        std::filesystem::current_path(workingFolder);
        const DataFolderSearch search = findDataFolder(named, program);
        std::filesystem::current_path(before);
        return search;
    }
    omxtest::TempFolder scratch{"data"};
    std::filesystem::path root{scratch.path()};
};

TEST_F(DataFolders, TheWorkingFolderWinsThenShareOmnivexBesideTheProgramOrOnlyTheNamedFolder) {
    makeFolders("usr/share/omnivex");
    makeFolders("play");
    makeFolders("usr/games", false, false);
    // A folder counts only with both shaders/ and resources/.
    makeFolders("noshaders", false, true);
    makeFolders("noresources", true, false);
    EXPECT_TRUE(holdsGameData((root / "play").string()));
    EXPECT_TRUE(holdsGameData((root / "play").string() + "/"));
    for (const char* folder : {"noshaders", "noresources", "absent"}) EXPECT_FALSE(holdsGameData((root / folder).string()));
    // The working folder of a test run holds the data, so look from a folder that does not.
    const DataFolderSearch fromGames = searchFrom(root, "", (root / "usr/games/omnivex").string());
    const DataFolderSearch fromBin = searchFrom(root, "", (root / "usr/bin/omnivex").string());
    const DataFolderSearch nowhere = searchFrom(root, "", (root / "opt/omnivex/omnivex").string());
    const DataFolderSearch named = searchFrom(root, (root / "usr/share/omnivex").string(), "");
    const DataFolderSearch namedEmpty = searchFrom(root, (root / "usr/games").string(), "");
    const DataFolderSearch working = searchFrom(root / "play", "", (root / "usr/bin/omnivex").string());

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
    // A working folder with the data wins, and paths stay relative to it.
    EXPECT_TRUE(working.found);
    EXPECT_EQ(working.folder, "");
    EXPECT_EQ(working.lookedIn.size(), 1u);
}

TEST(GLVersionCheck, AcceptsThreeThreeAndLaterAndExplainsOlderVersions) {
    const std::vector<std::tuple<int, int, bool>> cases = {{3, 3, true}, {4, 0, true}, {4, 6, true}, {3, 2, false},
                                                           {2, 1, false}};
    for (const auto& [major, minor, accepted] : cases) {
        std::ostringstream err;
        EXPECT_EQ(acceptGLVersion(major, minor, err), accepted) << major << "." << minor;
        const std::string version = std::to_string(major) + "." + std::to_string(minor);
        EXPECT_EQ(err.str(), accepted ? ""
                                      : "Error: OpenGL version 3.3 not supported.\n"
                                        "       Your version is " + version + ".\n"
                                        "       Try updating your graphics driver.\n");
    }
}

TEST(FrameGameTime, AStallPausesTheWorldInsteadOfFastForwardingIt) {
    EXPECT_FLOAT_EQ(frameGameTime(1.0 / 60.0, 1.0f), 1.0f / 60.0f);
    EXPECT_FLOAT_EQ(frameGameTime(0.05, 10.0f), 0.5f);
    EXPECT_FLOAT_EQ(frameGameTime(60.0, 1.0f), 0.25f);  // the window was dragged for a minute
    EXPECT_FLOAT_EQ(frameGameTime(60.0, 10.0f), 2.5f);
    EXPECT_EQ(frameGameTime(-1.0, 1.0f), 0.0f);  // a clock that stepped back
}

TEST(FrameStatistics, LinesComeOncePerPeriodOfJustOverOneSecondAsSwitchedOn) {
    std::ostringstream out;
    FrameStatistics stats;
    for (int i = 0; i < 10; ++i) stats.addFrame(0.1, true, false, 0, 0, out);
    EXPECT_EQ(out.str(), "");  // exactly 1.0 s is not yet more than a second
    stats.addFrame(0.05, true, false, 0, 0, out);
    EXPECT_EQ(out.str(), "Fps: 11\n");
    EXPECT_EQ(stats.frameCount, 0);
    EXPECT_EQ(stats.fpsAccumulator, 0.0);
    // The culling line halves the counts, rounding down.
    const std::vector<std::tuple<bool, bool, int, int, std::string>> cases = {
        {false, true, 7, 3, "Drawn Objects: 3, Culled Objects: 1\n"},
        {true, true, 100, 40, "Fps: 1\nDrawn Objects: 50, Culled Objects: 20\n"},
        {false, false, 100, 40, ""},
    };
    for (const auto& [fps, culling, drawn, culled, expected] : cases) {
        std::ostringstream lines;
        stats.addFrame(2.0, fps, culling, drawn, culled, lines);
        EXPECT_EQ(lines.str(), expected);
        EXPECT_EQ(stats.frameCount, 0);
    }
}

}  // namespace

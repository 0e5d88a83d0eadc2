// CommandLineAndStatisticsTest.cpp -- the echoed command line, its two words and options, the data folder, the
// version check, a frame's game time and the once-a-second statistics lines.
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
    const std::tuple<Words, bool, bool> cases[] = {
        {{"/opt/omnivex", "--seed", "7", "highestframerate"}, false, true},
        {{"x", "Fullscreen", "fullscreen2", "HIGHESTFRAMERATE"}, false, false},
        {{"x", "highestframerate", "junk", "fullscreen", "fullscreen"}, true, true},
        {{"fullscreen"}, true, false},  // the program path is compared too
    };
    for (const auto& [words, fullscreen, highest] : cases) {
        std::string printed, expected;
        for (const char* word : words) expected += std::string(word) + "\n";
        const CommandLine line = parse(words, &printed);
        EXPECT_EQ(printed, expected);
        EXPECT_EQ(std::make_tuple(line.fullscreenRequested, line.highestFrameRate, line.error),
                  std::make_tuple(fullscreen, highest, std::string()))
            << expected;
    }
}

TEST(CommandLine, SeedAndDataTakeTheirValueSeparateOrAfterAnEqualsSign) {
    using Read = std::tuple<bool, unsigned, std::string, bool, bool, std::string>;
    const auto read = [](const Words& words) {
        const CommandLine l = parse(words);
        return Read(l.seedGiven, l.seed, l.dataFolder, l.fullscreenRequested, l.highestFrameRate, l.error);
    };
    EXPECT_EQ(read({"x", "--seed", "7", "--data", "/srv/omnivex"}), Read(true, 7, "/srv/omnivex", false, false, ""));
    EXPECT_EQ(read({"x", "--seed=4294967295", "--data=here", "fullscreen"}),
              Read(true, 4294967295u, "here", true, false, ""));
    // A value is never read as a play word, and the last of two seeds counts.
    EXPECT_EQ(read({"x", "--data", "fullscreen", "--seed", "1", "--seed", "0"}),
              Read(true, 0, "fullscreen", false, false, ""));
    // After "--" everything is a word, and a lone "-" is one anyway.
    EXPECT_EQ(read({"x", "--", "--bogus", "highestframerate", "-"}), Read(false, 0, "", false, true, ""));
    EXPECT_EQ(answer({"x", "-", "anything"}).status, -1);
}

TEST(CommandLine, RenderScaleIsAnOptionWhoseValueIsNoPlayWord) {
    const auto read = [](const Words& words) {
        const CommandLine l = parse(words);
        return std::make_tuple(l.fullscreenRequested, l.highestFrameRate, l.error);
    };
    EXPECT_EQ(read({"x", "--render-scale", "0.5", "highestframerate"}), std::make_tuple(false, true, std::string()));
    EXPECT_EQ(read({"x", "--render-scale=auto", "fullscreen"}), std::make_tuple(true, false, std::string()));
    // The word after it is its value (a bad one is named when the game starts, which then plays on).
    EXPECT_EQ(read({"x", "--render-scale", "fullscreen"}), std::make_tuple(false, false, std::string()));
    EXPECT_EQ(read({"x", "--render-scale"}), std::make_tuple(false, false, std::string()));
    EXPECT_EQ(answer({"x", "--render-scale", "0.75"}).status, -1);
}

TEST(CommandLine, HelpAndVersionAnswerWithoutStartingTheGame) {
    const Answer help = answer({"/usr/games/omnivex", "--help"});
    EXPECT_EQ(std::make_pair(help.status, help.err), std::make_pair(0, std::string()));
    EXPECT_EQ(help.out.rfind("Usage: omnivex [OPTION]... [fullscreen] [highestframerate]\n", 0), 0u) << help.out;
    for (const char* item : {"--seed N", "--data DIR", "--render-scale S", "--version", "highestframerate", "P   ", "Escape", "F10"})
        EXPECT_NE(help.out.find(item), std::string::npos) << item;
    const Answer version = answer({"./omnivex", "fullscreen", "--version"});
    EXPECT_EQ(std::make_pair(version.status, version.out),
              std::make_pair(0, std::string("omnivex " OMNIVEX_VERSION "\n")));
    EXPECT_EQ(answer({"omnivex", "fullscreen", "--seed", "3"}).status, -1);
}

TEST(CommandLine, UnusableOptionsAreNamedAndEndWithStatusTwo) {
    const Answer unknown = answer({"build/omnivex", "highestframerate", "--verbose", "--help"});
    EXPECT_EQ(std::make_tuple(unknown.status, unknown.out, unknown.err),
              std::make_tuple(2, std::string(), std::string("omnivex: unknown option '--verbose'\n"
                                                            "Try 'omnivex --help' for more information.\n")));
    const std::string notANumber = "option '--seed' takes a whole number from 0 to 4294967295, not ";
    const std::pair<Words, std::string> cases[] = {
        {{"x", "--help=me"}, "unknown option '--help=me'"}, {{"x", "--seed"}, "option '--seed' needs a number"},
        {{"x", "--seed", "-1"}, notANumber + "'-1'"},       {{"x", "--seed=4294967296"}, notANumber + "'4294967296'"},
        {{"x", "--seed="}, notANumber + "''"},              {{"x", "--data"}, "option '--data' needs a folder"},
        {{"x", "--data="}, "option '--data' needs a folder"},
    };
    for (const auto& [words, message] : cases) {
        const Answer a = answer(words);
        EXPECT_EQ(std::make_pair(a.status, a.err.substr(0, a.err.find('\n'))), std::make_pair(2, "x: " + message));
    }
}

TEST(DataFolders, TheWorkingFolderWinsThenShareOmnivexBesideTheProgramOrOnlyTheNamedFolder) {
    const omxtest::TempFolder scratch("data");
    ASSERT_TRUE(scratch.ok());
    const std::string root = scratch.path();
    const auto at = [&scratch](const std::string& relative) { return scratch / relative; };
    for (const char* folder : {"usr/share/omnivex/shaders", "usr/share/omnivex/resources", "play/shaders",
                               "play/resources", "usr/games", "noshaders/resources", "noresources/shaders"})
        std::filesystem::create_directories(at(folder));
    EXPECT_TRUE(holdsGameData(at("play/")));
    for (const char* folder : {"noshaders", "noresources", "absent"})
        EXPECT_FALSE(holdsGameData(at(folder))) << "a folder counts only with both";
    using Found = std::tuple<bool, std::string, std::vector<std::string>>;
    const auto search = [&](const std::string& workingFolder, const std::string& named, const std::string& program) {
        const std::filesystem::path before = std::filesystem::current_path();
        std::filesystem::current_path(at(workingFolder));
        const DataFolderSearch s = findDataFolder(named, program.empty() ? "" : at(program));
        std::filesystem::current_path(before);
        return Found(s.found, s.folder, s.lookedIn);
    };
    // The working folder of a test run holds the data, so look from a folder that does not.
    const std::string share = at("usr/share/omnivex");
    EXPECT_EQ(search("", "", "usr/games/omnivex"), Found(true, share + "/", {root, share}));
    EXPECT_EQ(search("", "", "opt/omnivex/omnivex"),
              Found(false, "", {root, at("opt/share/omnivex"), at("opt/omnivex")}));
    EXPECT_EQ(search("", at("usr/games"), ""), Found(false, "", {at("usr/games")})) << "only a folder named is tried";
    // A working folder with the data wins, and paths stay relative to it.
    EXPECT_EQ(search("play", "", "usr/bin/omnivex"), Found(true, "", {at("play")}));
}

TEST(GLVersionCheck, AcceptsThreeThreeAndLaterAndExplainsOlderVersions) {
    const std::tuple<int, int, bool> cases[] = {{3, 3, true}, {4, 0, true}, {3, 2, false}, {2, 4, false}};
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
    EXPECT_EQ(std::make_pair(stats.frameCount, stats.fpsAccumulator), std::make_pair(0, 0.0));
    // The culling line halves the counts, rounding down.
    const std::tuple<bool, bool, int, int, std::string> cases[] = {
        {false, true, 7, 3, "Drawn Objects: 3, Culled Objects: 1\n"},
        {true, true, 100, 40, "Fps: 1\nDrawn Objects: 50, Culled Objects: 20\n"},
        {false, false, 100, 40, ""},
    };
    for (const auto& [fps, culling, drawn, culled, expected] : cases) {
        std::ostringstream lines;
        stats.addFrame(2.0, fps, culling, drawn, culled, lines);
        EXPECT_EQ(lines.str(), expected);
    }
}

}  // namespace

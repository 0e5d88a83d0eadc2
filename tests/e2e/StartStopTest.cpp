// StartStopTest.cpp -- the real binary starts, shows its start-up lines and ends cleanly; its command line
// answers --help, --version and bad options without a window, and a seed replays the same world.
#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <sstream>

#include "support/EndToEnd.h"

namespace {

constexpr double startTimeout = 60.0;

// The five settlement lines: printed after the OpenGL profile line, before the models load.
std::vector<std::string> settlementLines(const std::string& out) {
    const std::string marker = "Having a core-profile\n";
    std::vector<std::string> lines;
    size_t at = out.find(marker);
    if (at == std::string::npos) return lines;
    std::istringstream rest(out.substr(at + marker.size()));
    std::string line;
    while (lines.size() < 5 && std::getline(rest, line)) lines.push_back(line);
    return lines;
}

TEST(GameStartAndStop, EscapeEndsTheGameWithStatusZero) {
    omxtest::VirtualDisplay display;
    ASSERT_TRUE(display.ok());
    omxtest::GameProcess game({"highestframerate"}, display.name());
    ASSERT_TRUE(game.waitForOutput("fbo recreate", startTimeout)) << game.standardOutput() << game.standardError();
    const std::string out = game.standardOutput();
    // Arguments are echoed first, the program path included.
    EXPECT_EQ(out.find(OMNIVEX_GAME_BINARY "\nhighestframerate\n"), 0u) << out;
    EXPECT_NE(out.find("OpenGL Version: "), std::string::npos);
    EXPECT_NE(out.find("Having a core-profile\n"), std::string::npos);
    ASSERT_TRUE(omxtest::waitForWindow(display.name(), "Omnivex", 10.0));
    EXPECT_EQ(omxtest::xdotool(display.name(), "key Escape"), 0);
    EXPECT_EQ(game.waitForExit(30.0), 0) << game.standardError();
}

TEST(GameStartAndStop, ClosingTheWindowEndsTheGameWithStatusZero) {
    omxtest::VirtualDisplay display;
    ASSERT_TRUE(display.ok());
    omxtest::GameProcess game({}, display.name());
    ASSERT_TRUE(game.waitForOutput("fbo recreate", startTimeout)) << game.standardError();
    ASSERT_TRUE(omxtest::waitForWindow(display.name(), "Omnivex", 10.0));
    ASSERT_TRUE(omxtest::requestWindowClose(display.name(), "Omnivex"));
    EXPECT_EQ(game.waitForExit(30.0), 0) << game.standardError();
}

// Ctrl+C in the terminal and a plain kill end the game at once, as they end any program that does not
// catch them: the game catches neither.
TEST(GameStartAndStop, InterruptAndTerminateSignalsEndTheGame) {
    for (const int signal : {SIGINT, SIGTERM}) {
        SCOPED_TRACE(signal == SIGINT ? "SIGINT" : "SIGTERM");
        omxtest::VirtualDisplay display;
        ASSERT_TRUE(display.ok());
        omxtest::GameProcess game({}, display.name());
        ASSERT_TRUE(game.waitForOutput("fbo recreate", startTimeout)) << game.standardError();
        ASSERT_TRUE(game.sendSignal(signal));
        EXPECT_EQ(game.waitForExit(20.0), -1000 - signal) << game.standardError();
    }
}

// On a machine without a sound card the audio back ends complain at length while they look for a device;
// the player sees one line of the game's own and nothing else.
TEST(GameStartAndStop, WithoutASoundDeviceOneLineSaysTheGameRunsSilent) {
    omxtest::VirtualDisplay display;
    ASSERT_TRUE(display.ok());
    omxtest::GameProcess game({}, display.name(), OMNIVEX_BINARY_DIR, OMNIVEX_GAME_BINARY,
                              {{"SDL_AUDIODRIVER", "alsa"}, {"ALSA_CARD", "omnivex-no-such-card"}});
    ASSERT_TRUE(game.waitForOutput("fbo recreate", startTimeout)) << game.standardError();
    ASSERT_TRUE(omxtest::waitForWindow(display.name(), "Omnivex", 10.0));
    EXPECT_EQ(omxtest::xdotool(display.name(), "key Escape"), 0);
    EXPECT_EQ(game.waitForExit(30.0), 0);
    const std::string err = game.standardError();
    EXPECT_EQ(err.rfind("No sound device (", 0), 0u) << err;
    EXPECT_NE(err.find("): the game runs silent.\n"), std::string::npos) << err;
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
}

TEST(GameStartAndStop, WithoutADisplayTheWindowCannotOpen) {
    omxtest::GameProcess game({"fullscreen"}, "");
    EXPECT_EQ(game.waitForExit(30.0), 1);
    EXPECT_EQ(game.standardError(), "Failed to initialize OpenGL window.\n");
    // The command line is still echoed before the window is tried.
    EXPECT_NE(game.standardOutput().find("fullscreen\n"), std::string::npos);
    EXPECT_EQ(game.standardOutput().find("OpenGL Version"), std::string::npos);
}

TEST(CommandLine, HelpVersionAndBadOptionsAnswerWithoutAWindow) {
    // No display at all: none of these may try to open a window.
    omxtest::GameProcess help({"--help"}, "");
    EXPECT_EQ(help.waitForExit(20.0), 0);
    EXPECT_EQ(help.standardOutput().rfind("Usage: omnivex [OPTION]... [fullscreen] [highestframerate]\n", 0), 0u)
        << help.standardOutput();
    EXPECT_EQ(help.standardError(), "");

    omxtest::GameProcess version({"highestframerate", "--version"}, "");
    EXPECT_EQ(version.waitForExit(20.0), 0);
    EXPECT_EQ(version.standardOutput(), "omnivex " OMNIVEX_VERSION "\n");

    omxtest::GameProcess bad({"fullscreen", "--fulscreen"}, "");
    EXPECT_EQ(bad.waitForExit(20.0), 2);
    EXPECT_EQ(bad.standardOutput(), "");
    EXPECT_EQ(bad.standardError(),
              "omnivex: unknown option '--fulscreen'\nTry 'omnivex --help' for more information.\n");

    omxtest::GameProcess badSeed({"--seed", "seven"}, "");
    EXPECT_EQ(badSeed.waitForExit(20.0), 2);
    EXPECT_NE(badSeed.standardError().find("'seven'"), std::string::npos) << badSeed.standardError();
}

TEST(CommandLine, TheSameSeedStartsTheSameWorld) {
    std::vector<std::string> first;
    for (int run = 0; run < 2; ++run) {
        omxtest::VirtualDisplay display;
        ASSERT_TRUE(display.ok());
        omxtest::GameProcess game({"--seed", "7", "highestframerate"}, display.name());
        ASSERT_TRUE(game.waitForOutput("fbo recreate", startTimeout)) << game.standardOutput() << game.standardError();
        const std::string out = game.standardOutput();
        // The arguments are echoed first, then the seed in use.
        EXPECT_EQ(out.find(OMNIVEX_GAME_BINARY "\n--seed\n7\nhighestframerate\nSeed: 7\n"), 0u) << out;
        const std::vector<std::string> lines = settlementLines(out);
        ASSERT_EQ(lines.size(), 5u) << out;
        EXPECT_EQ(lines[0], "0 0 0 ");
        for (const std::string& line : lines) EXPECT_EQ(std::count(line.begin(), line.end(), ' '), 3) << line;
        if (run == 0) first = lines;
        else EXPECT_EQ(lines, first);
        EXPECT_EQ(omxtest::xdotool(display.name(), "key Escape"), 0);
        EXPECT_EQ(game.waitForExit(30.0), 0) << game.standardError();
    }
    // Without a seed the game picks one from the clock and says which.
    omxtest::VirtualDisplay display;
    ASSERT_TRUE(display.ok());
    omxtest::GameProcess game({}, display.name());
    ASSERT_TRUE(game.waitForOutput("fbo recreate", startTimeout)) << game.standardError();
    const std::string out = game.standardOutput();
    const size_t seedAt = out.find("\nSeed: ");
    ASSERT_NE(seedAt, std::string::npos) << out;
    EXPECT_GT(std::stoul(out.substr(seedAt + 7)), 7u);
    EXPECT_EQ(omxtest::xdotool(display.name(), "key Escape"), 0);
    EXPECT_EQ(game.waitForExit(30.0), 0);
}

// A copy of the program with no data beside it, started where there is none either, names every folder
// it tried and stops before it opens a window.
TEST(DataFolder, WithoutDataTheGameNamesTheFoldersItLookedInAndEndsWithStatus1) {
    namespace fs = std::filesystem;
    char pattern[] = "/tmp/omnivex-nodata-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const fs::path root = pattern;
    fs::create_directories(root / "bin");
    fs::copy_file(OMNIVEX_GAME_BINARY, root / "bin" / "omnivex");
    {
        omxtest::GameProcess game({}, "", root.string(), (root / "bin" / "omnivex").string());
        EXPECT_EQ(game.waitForExit(20.0), 1);
        EXPECT_EQ(game.standardError(),
                  "Cannot find the game's data (the folders shaders/ and resources/). Looked in:\n"
                  "  " + root.string() + "\n"
                  "  " + (root / "share" / "omnivex").string() + "\n"
                  "  " + (root / "bin").string() + "\n"
                  "Start the game with --data DIR to name the folder.\n");
        EXPECT_EQ(game.standardOutput().find("OpenGL Version"), std::string::npos);

        omxtest::GameProcess named({"--data", "elsewhere"}, "", root.string(), (root / "bin" / "omnivex").string());
        EXPECT_EQ(named.waitForExit(20.0), 1);
        EXPECT_NE(named.standardError().find("  " + (root / "elsewhere").string() + "\n"), std::string::npos)
            << named.standardError();
    }
    // --data names the build folder from anywhere: the game starts.
    omxtest::VirtualDisplay display;
    ASSERT_TRUE(display.ok());
    omxtest::GameProcess game({"--data", OMNIVEX_BINARY_DIR}, display.name(), "/", (root / "bin" / "omnivex").string());
    EXPECT_TRUE(game.waitForOutput("fbo recreate", startTimeout)) << game.standardOutput() << game.standardError();
    EXPECT_EQ(game.standardError(), "");
    EXPECT_TRUE(omxtest::waitForWindow(display.name(), "Omnivex", 10.0));
    EXPECT_EQ(omxtest::xdotool(display.name(), "key Escape"), 0);
    EXPECT_EQ(game.waitForExit(30.0), 0);
    fs::remove_all(root);
}

}  // namespace

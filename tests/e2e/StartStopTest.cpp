// StartStopTest.cpp -- the real binary starts, shows its start-up lines and ends cleanly; its command line
// answers --help, --version and bad options without a window, and a seed replays the same world.
#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <sstream>

#include "support/EndToEnd.h"
#include "support/Wait.h"

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

TEST(GameStartAndStop, WithoutADisplayTheWindowCannotOpenAndTheGameSaysWhy) {
    omxtest::GameProcess game({"fullscreen"}, "");
    EXPECT_EQ(game.waitForExit(30.0), 1);
    EXPECT_EQ(game.standardError(),
              "Failed to initialize OpenGL window.\n"
              "There is no display to open the window on (DISPLAY is not set): start the game from a desktop "
              "session, or under xvfb-run on a machine without a display.\n");
    // The command line is still echoed before the window is tried.
    EXPECT_NE(game.standardOutput().find("fullscreen\n"), std::string::npos);
    EXPECT_EQ(game.standardOutput().find("OpenGL Version"), std::string::npos);
}

// Mesa told to offer OpenGL 3.0 stands for an old driver: the core 3.3 context is refused, and the game names
// the version it found.
TEST(GameStartAndStop, WithADriverBelowOpenGL33TheGameNamesTheVersionItFound) {
    omxtest::VirtualDisplay display;
    ASSERT_TRUE(display.ok());
    omxtest::GameProcess game({}, display.name(), OMNIVEX_BINARY_DIR, OMNIVEX_GAME_BINARY,
                              {{"MESA_GL_VERSION_OVERRIDE", "3.0"}});
    EXPECT_EQ(game.waitForExit(30.0), 1);
    const std::vector<std::string> lines = omxtest::linesOf(game.standardError());
    ASSERT_EQ(lines.size(), 2u) << game.standardError();
    EXPECT_EQ(lines[0], "Failed to initialize OpenGL window.");
    EXPECT_EQ(lines[1].rfind("The graphics driver offers OpenGL 3.0, and the game needs 3.3 (core profile): ", 0), 0u)
        << lines[1];
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

    omxtest::GameProcess badScale({"--render-scale", "2", "fullscreen"}, "");
    EXPECT_EQ(badScale.waitForExit(20.0), 2);
    EXPECT_EQ(badScale.standardOutput(), "");
    EXPECT_EQ(badScale.standardError(), "omnivex: option '--render-scale' takes a number from 0.5 to 1, or auto, not '2'\n"
                                        "Try 'omnivex --help' for more information.\n");

    omxtest::GameProcess badSeed({"--seed", "seven"}, "");
    EXPECT_EQ(badSeed.waitForExit(20.0), 2);
    EXPECT_NE(badSeed.standardError().find("'seven'"), std::string::npos) << badSeed.standardError();
}

// Counts the lines of the output that start with `prefix`.
size_t linesStartingWith(const std::string& out, const std::string& prefix) {
    size_t count = 0;
    for (const std::string& line : omxtest::linesOf(out)) count += line.rfind(prefix, 0) == 0 ? 1 : 0;
    return count;
}

// Every documented form of --render-scale starts the game at that scale; a fixed scale stays where it was put
// while the automatic one moves (a software renderer under Xvfb cannot hold 60 frames a second at scale 1).
TEST(CommandLine, EveryFormOfTheRenderScaleStartsTheGameAtThatScale) {
    const struct {
        std::vector<std::string> args;
        std::string line;
        bool moves;
    } forms[] = {
        {{"--render-scale", "0.5"}, "Render scale: 0.50", false},
        {{"--render-scale=0.75", "highestframerate"}, "Render scale: 0.75", false},
        {{"--render-scale", "auto"}, "Render scale: auto", true},
    };
    for (const auto& form : forms) {
        SCOPED_TRACE(form.args[0]);
        omxtest::VirtualDisplay display;
        ASSERT_TRUE(display.ok());
        omxtest::GameProcess game(form.args, display.name());
        ASSERT_TRUE(game.waitForOutput("fbo recreate", startTimeout)) << game.standardOutput() << game.standardError();
        EXPECT_EQ(game.standardError(), "");
        // The command line is echoed as it was typed, and the scale in use is said before the first frame.
        std::string echoed = std::string(OMNIVEX_GAME_BINARY) + "\n";
        for (const std::string& arg : form.args) echoed += arg + "\n";
        EXPECT_EQ(game.standardOutput().rfind(echoed, 0), 0u) << game.standardOutput();
        EXPECT_NE(game.standardOutput().find("\n" + form.line + "\nfbo recreate\n"), std::string::npos)
            << game.standardOutput();
        ASSERT_TRUE(omxtest::waitForWindow(display.name(), "Omnivex", 10.0));
        if (form.moves) {
            EXPECT_TRUE(game.waitForOutput("\nRender scale: 0.", 30.0)) << game.standardOutput();
        } else {
            // Four seconds of frames, counted by the frame-rate lines (F2): the automatic scale moves sooner.
            ASSERT_EQ(omxtest::xdotool(display.name(), "key F2"), 0);
            omxtest::waitUntil(
                [&] { return linesStartingWith(game.standardOutput(), "Fps: ") >= 4 || !game.running(); }, 30.0);
            ASSERT_GE(linesStartingWith(game.standardOutput(), "Fps: "), 4u) << game.standardOutput();
            EXPECT_EQ(linesStartingWith(game.standardOutput(), "Render scale: "), 1u) << game.standardOutput();
        }
        EXPECT_EQ(omxtest::xdotool(display.name(), "key Escape"), 0);
        EXPECT_EQ(game.waitForExit(30.0), 0) << game.standardError();
    }
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

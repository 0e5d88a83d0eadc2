// StartStopTest.cpp -- the real binary starts, shows its start-up lines and ends cleanly.
#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>

#include "support/EndToEnd.h"

namespace {

constexpr double startTimeout = 60.0;

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
    omxtest::GameProcess game({}, display.name(), OMNIVEX_BINARY_DIR,
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

}  // namespace

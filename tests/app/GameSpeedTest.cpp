// GameSpeedTest.cpp -- the speed keys through the frame loop's own steps: a frame's game time from its real time
// and the speed, then the update. Held for the same real time, they give the same speed at any frame rate.
#include <gtest/gtest.h>

#include <cmath>

#include "app/App.h"
#include "support/GameBuilders.h"

namespace {

// The game after `seconds` of real time at `framesPerSecond`, the speed keys in `held` down all along.
float speedAfter(std::set<int> held, int framesPerSecond, float seconds, float startSpeed = 1.0f) {
    omxtest::World w;
    w.startPlaying();
    Game& g = *w.game;
    g.timeScale = startSpeed;
    w.input.held = std::move(held);
    const double frame = 1.0 / framesPerSecond;
    const long frames = std::lround(seconds * framesPerSecond);
    omxtest::capturedStdout([&] {
        for (long i = 0; i < frames; ++i) g.update(frameGameTime(frame, g.timeScale));
    });
    return g.timeScale;
}

const std::set<int> faster = {Key::RightControl, Key::KeypadAdd};
const std::set<int> slower = {Key::RightControl, Key::KeypadSubtract};

}  // namespace

TEST(GameSpeed, ASecondOfFasterGivesTheSameSpeedAtTwentyAndAtSixtyFramesASecond) {
    const float at20 = speedAfter(faster, 20, 1.0f);
    const float at60 = speedAfter(faster, 60, 1.0f);
    EXPECT_NEAR(at20, at60, 1e-3f);
}

TEST(GameSpeed, AtSixtyFramesASecondEachFrameAddsATenthAsItAlwaysDid) {
    EXPECT_NEAR(speedAfter(faster, 60, 1.0f / 60.0f), 1.1f, 1e-5f);
    EXPECT_NEAR(speedAfter(faster, 60, 1.0f), 7.0f, 1e-3f);
}

TEST(GameSpeed, SlowerTakesOffTheSameAtAnyFrameRateDownToATenth) {
    const float at20 = speedAfter(slower, 20, 0.1f, 3.0f);
    const float at60 = speedAfter(slower, 60, 0.1f, 3.0f);
    EXPECT_NEAR(at20, 2.4f, 1e-4f);
    EXPECT_NEAR(at60, 2.4f, 1e-4f);
    EXPECT_NEAR(speedAfter(slower, 20, 2.0f, 3.0f), 0.1f, 1e-6f);
}

TEST(GameSpeed, RightControlWithKeypadZeroIsNormalSpeedAtOnce) {
    EXPECT_EQ(speedAfter({Key::RightControl, Key::Keypad0}, 20, 0.05f, 4.3f), 1.0f);
}

TEST(GameSpeed, TheKeypadKeyWithoutRightControlChangesNothing) {
    EXPECT_EQ(speedAfter({Key::KeypadAdd}, 20, 1.0f), 1.0f);
}

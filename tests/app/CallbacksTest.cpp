// CallbacksTest.cpp -- what the function keys, P, mouse buttons, focus and size events do to the game.
#include <gtest/gtest.h>

#include "app/App.h"
#include "app/Platform.h"
#include "game/Game.h"
#include "support/RecordingSound.h"

namespace {

class Callbacks : public ::testing::Test {
protected:
    void SetUp() override {
        GameOptions options;
        options.graphics = false;
        options.sound = &sound;
        options.seedFromClock = false;
        options.seed = 7;
        testing::internal::CaptureStdout();
        world = std::make_unique<Game>(options);
        testing::internal::GetCapturedStdout();
        game = world.get();
        showFps = false;
    }
    void TearDown() override { game = nullptr; }

    std::string press(int key) {
        testing::internal::CaptureStdout();
        keyCallback(key, platform::Press);
        return testing::internal::GetCapturedStdout();
    }

    omxtest::RecordingSound sound;
    std::unique_ptr<Game> world;
};

TEST_F(Callbacks, SwitchesPrintTheirLabelAndNewValue) {
    EXPECT_EQ(press(Key::F3), "WireFrame: 1\n");
    EXPECT_EQ(press(Key::F3), "WireFrame: 0\n");
    EXPECT_FALSE(game->wireframe);
    EXPECT_EQ(press(Key::F4), "TriLinear: 0\n");
    EXPECT_EQ(press(Key::F5), "MipMapping: 0\n");
    EXPECT_EQ(press(Key::F8), "FrustumCulling: 1\n");
    EXPECT_EQ(press(Key::F9), "Transparency: 0\n");
    EXPECT_FALSE(game->trilinear);
    EXPECT_FALSE(game->mipmapping);
    EXPECT_TRUE(game->frustumCulling);
    EXPECT_FALSE(game->transparency);
}

TEST_F(Callbacks, ReleasesAndUnlistedKeysDoNothing) {
    testing::internal::CaptureStdout();
    keyCallback(Key::F3, platform::Release);
    keyCallback(Key::F6, platform::Press);
    keyCallback(Key::F7, platform::Press);
    keyCallback(Key::A, platform::Press);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_FALSE(game->wireframe);
    EXPECT_FALSE(game->overviewMode);
}

TEST_F(Callbacks, F2TogglesTheFrameRateLineSilently) {
    EXPECT_EQ(press(Key::F2), "");
    EXPECT_TRUE(showFps);
    press(Key::F2);
    EXPECT_FALSE(showFps);
}

TEST_F(Callbacks, F1DoesNothingDuringTheIntroAndTogglesTheOverviewAfterIt) {
    ASSERT_EQ(game->state, Intro);
    press(Key::F1);
    EXPECT_FALSE(game->overviewMode);
    game->state = Playing;
    press(Key::F1);
    EXPECT_TRUE(game->overviewMode);
    press(Key::F1);
    EXPECT_FALSE(game->overviewMode);
}

TEST_F(Callbacks, F10MutesAndRestoresAllSound) {
    press(Key::F10);
    EXPECT_TRUE(sound.muted);
    press(Key::F10);
    EXPECT_FALSE(sound.muted);
}

TEST_F(Callbacks, F11LowersTheLightForTheNightAndPutsItBackAtDaylightHeight) {
    ASSERT_NE(game->light, nullptr);
    press(Key::F11);
    EXPECT_TRUE(game->nightMode);
    EXPECT_EQ(game->light->position, glm::vec3(0, 5, 0));
    press(Key::F11);
    EXPECT_FALSE(game->nightMode);
    EXPECT_EQ(game->light->position, glm::vec3(0, 2600, 0));
}

TEST_F(Callbacks, MouseReleaseIsIgnoredAndPressReachesTheGame) {
    game->state = Playing;
    mouseButtonCallback(0, platform::Release);
    ASSERT_NE(game->strike, nullptr);
    EXPECT_FALSE(game->strike->visible);
    mouseButtonCallback(0, platform::Press);
    EXPECT_TRUE(game->strike->visible);
    EXPECT_EQ(game->strike->type, 1);
}

TEST_F(Callbacks, PTogglesThePauseSilentlyAndAPausedWorldTakesNoClicks) {
    game->state = Playing;
    EXPECT_EQ(press(Key::P), "");
    EXPECT_TRUE(game->paused);
    EXPECT_TRUE(sound.allPaused);
    keyCallback(Key::P, platform::Release);
    EXPECT_TRUE(game->paused) << "only a press toggles";
    mouseButtonCallback(0, platform::Press);
    EXPECT_FALSE(game->strike->visible);
    EXPECT_TRUE(sound.played.empty() || sound.played.back() != SoundLightningShoot);
    press(Key::P);
    EXPECT_FALSE(game->paused);
    EXPECT_FALSE(sound.allPaused);
    mouseButtonCallback(0, platform::Press);
    EXPECT_TRUE(game->strike->visible);
}

TEST_F(Callbacks, LosingTheFocusPausesAndOnlyPResumes) {
    focusCallback(true);
    EXPECT_FALSE(game->paused);
    focusCallback(false);
    EXPECT_TRUE(game->paused);
    EXPECT_TRUE(sound.allPaused);
    focusCallback(true);
    EXPECT_TRUE(game->paused) << "coming back does not resume by itself";
    focusCallback(false);
    EXPECT_TRUE(game->paused) << "a second loss does not toggle";
    press(Key::P);
    EXPECT_FALSE(game->paused);
}

}  // namespace

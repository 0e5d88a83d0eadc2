// CallbacksTest.cpp -- what the function keys, P, mouse buttons and focus events do to the game.
#include <gtest/gtest.h>

#include <functional>
#include <tuple>

#include "app/App.h"
#include "app/Platform.h"
#include "game/Game.h"
#include "support/Files.h"
#include "support/RecordingSound.h"

namespace {

class Callbacks : public ::testing::Test {
protected:
    void SetUp() override {
        GameOptions options;
        options.sound = &sound;
        options.seedFromClock = false;
        options.seed = 7;
        omxtest::capturedStdout([&] { world = std::make_unique<Game>(options); });
        game = world.get();
        debugSwitches = DebugSwitches{};
    }
    void TearDown() override { game = nullptr; }

    std::string press(int key) { return omxtest::capturedStdout([key] { keyCallback(key, platform::Press); }); }

    omxtest::RecordingSound sound;
    std::unique_ptr<Game> world;
};

TEST_F(Callbacks, EachKeyPressTogglesItsSwitchAndTheListedOnesPrintTheirLabel) {
    // Key, what it prints, and the state after the press.
    const std::tuple<int, const char*, std::function<bool()>> cases[] = {
        {Key::F3, "WireFrame: 1\n", [] { return debugSwitches.render.wireframe; }},
        {Key::F3, "WireFrame: 0\n", [] { return !debugSwitches.render.wireframe; }},
        {Key::F4, "TriLinear: 0\n", [] { return !debugSwitches.trilinear; }},
        {Key::F5, "MipMapping: 0\n", [] { return !debugSwitches.mipmapping; }},
        {Key::F8, "FrustumCulling: 1\n", [] { return debugSwitches.render.frustumCulling; }},
        {Key::F9, "Transparency: 0\n", [] { return !debugSwitches.render.transparency; }},
        {Key::F2, "", [] { return debugSwitches.showFps; }},
        {Key::F2, "", [] { return !debugSwitches.showFps; }},
        {Key::F10, "", [this] { return sound.muted; }},
        {Key::F10, "", [this] { return !sound.muted; }},
        // Night lowers the light; day puts it back at its height.
        {Key::F11, "", [] { return game->nightMode && game->light->position == glm::vec3(0, 5, 0); }},
        {Key::F11, "", [] { return !game->nightMode && game->light->position == glm::vec3(0, 2600, 0); }},
    };
    ASSERT_NE(game->light, nullptr);
    for (const auto& [key, printed, holds] : cases) {
        EXPECT_EQ(press(key), printed);
        EXPECT_TRUE(holds()) << "after a press of key " << key << " printing " << printed;
    }
}

TEST_F(Callbacks, ReleasesUnlistedKeysAndF1DuringTheIntroDoNothing) {
    ASSERT_EQ(game->state, GameState::Intro);
    EXPECT_EQ(omxtest::capturedStdout([] {
                  keyCallback(Key::F3, platform::Release);
                  for (const int key : {Key::F6, Key::F7, Key::A, Key::F1}) keyCallback(key, platform::Press);
              }),
              "");
    EXPECT_FALSE(debugSwitches.render.wireframe);
    EXPECT_FALSE(game->overviewMode);
}

TEST_F(Callbacks, WhilePlayingF1TogglesTheOverviewAndAPressedButtonStrikesUnlessPPaused) {
    game->state = GameState::Playing;
    press(Key::F1);
    EXPECT_TRUE(game->overviewMode);
    press(Key::F1);
    EXPECT_FALSE(game->overviewMode);
    ASSERT_NE(game->strike, nullptr);
    mouseButtonCallback(0, platform::Release);
    EXPECT_FALSE(game->strike->visible) << "a release is ignored";

    EXPECT_EQ(press(Key::P), "");
    keyCallback(Key::P, platform::Release);
    EXPECT_TRUE(game->paused) << "only a press toggles";
    EXPECT_TRUE(sound.allPaused) << "only a press toggles";
    mouseButtonCallback(0, platform::Press);
    EXPECT_FALSE(game->strike->visible);
    press(Key::P);
    EXPECT_FALSE(game->paused);
    EXPECT_FALSE(sound.allPaused);
    mouseButtonCallback(0, platform::Press);
    EXPECT_TRUE(game->strike->visible);
    EXPECT_EQ(game->strikeKind, StrikeKind::Shoot);
}

TEST_F(Callbacks, LosingTheFocusPausesAndOnlyPResumes) {
    focusCallback(true);
    EXPECT_FALSE(game->paused);
    focusCallback(false);
    EXPECT_TRUE(game->paused);
    EXPECT_TRUE(sound.allPaused);
    focusCallback(true);
    focusCallback(false);
    EXPECT_TRUE(game->paused) << "neither coming back nor a second loss resumes";
    press(Key::P);
    EXPECT_FALSE(game->paused);
}

}  // namespace

// CallbacksTest.cpp -- what the function keys, P, H, 1 to 5, mouse buttons and focus events do to the game.
#include <gtest/gtest.h>

#include <functional>
#include <tuple>

#include "app/App.h"
#include "app/Platform.h"
#include "game/Game.h"
#include "game/GameStatus.h"
#include "game/Settlement.h"
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
        playerSwitches = PlayerSwitches{};
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

// Playing, with the status display told about the world once.
class PlayingCallbacks : public Callbacks {
protected:
    void SetUp() override {
        Callbacks::SetUp();
        game->state = GameState::Playing;
        game->updateStatus(0.0f);
    }
    // The window pixel at the middle of settlement i's mark.
    MousePosition markOf(int i) const {
        const StatusLayout layout = statusLayout(game->windowWidth, game->windowHeight);
        const glm::vec2 centre = markCentre(layout, statusView(game->statusNow).marks[static_cast<std::size_t>(i)]);
        return MousePosition{static_cast<int>(centre.x), static_cast<int>(centre.y)};
    }
    const SceneObject* tree(int i) const { return game->settlements[static_cast<std::size_t>(i)]->tree; }
};

TEST_F(PlayingCallbacks, HShowsAndHidesTheStatusDisplayQuietly) {
    EXPECT_TRUE(playerSwitches.statusDisplay) << "shown from the start";
    EXPECT_EQ(press(Key::H), "");
    EXPECT_FALSE(playerSwitches.statusDisplay);
    EXPECT_EQ(press(Key::H), "");
    EXPECT_TRUE(playerSwitches.statusDisplay);
}

TEST_F(PlayingCallbacks, KeysOneToFiveFlyToTheirSettlementsTrees) {
    const int keys[] = {Key::Num1, Key::Num2, Key::Num3, Key::Num4, Key::Num5};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(press(keys[i]), "");
        EXPECT_EQ(game->camera->target, tree(i)) << "key " << i + 1;
    }
    game->camera->target = nullptr;
    keyCallback(Key::Num2, platform::Release);
    EXPECT_EQ(game->camera->target, nullptr) << "a release flies nowhere";
}

TEST_F(PlayingCallbacks, EitherButtonOnAMarkFliesThereInsteadOfStriking) {
    for (const int button : {MouseButton::Left, MouseButton::Right}) {
        game->camera->target = nullptr;
        game->strikeKind = button == MouseButton::Left ? StrikeKind::Pick : StrikeKind::Shoot;
        clickAt(button, markOf(2));
        EXPECT_EQ(game->camera->target, tree(2)) << "button " << button;
        EXPECT_EQ(game->strikeKind, StrikeKind::Pick) << "button " << button << ": the flight's strike, not the click's";
    }
}

TEST_F(PlayingCallbacks, AClickBesideTheMarksActsOnTheWorld) {
    clickAt(MouseButton::Left, MousePosition{600, 400});
    EXPECT_TRUE(game->strike->visible);
    EXPECT_EQ(game->strikeKind, StrikeKind::Shoot);
    EXPECT_EQ(game->camera->target, nullptr);
}

TEST_F(PlayingCallbacks, WithTheDisplayHiddenAClickWhereAMarkWouldBeActsOnTheWorld) {
    press(Key::H);
    clickAt(MouseButton::Left, markOf(1));
    EXPECT_EQ(game->camera->target, nullptr);
    EXPECT_EQ(game->strikeKind, StrikeKind::Shoot);
    EXPECT_TRUE(game->strike->visible);
}

TEST_F(PlayingCallbacks, PausedAMarkStillFliesTheCameraAndTheWorldTakesNoClick) {
    press(Key::P);
    clickAt(MouseButton::Left, MousePosition{600, 400});
    EXPECT_FALSE(game->strike->visible);
    clickAt(MouseButton::Left, markOf(4));
    EXPECT_EQ(game->camera->target, tree(4));
    EXPECT_FALSE(game->strike->visible);
}

}  // namespace

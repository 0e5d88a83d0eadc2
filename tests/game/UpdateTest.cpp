// UpdateTest.cpp -- the frame update: first step, time scale, overview, borders, light, mood, the end, volumes.
#include <algorithm>
#include <cmath>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "support/GameBuilders.h"

using omxtest::code;
using omxtest::World;
using ::testing::AllOf;
using ::testing::AnyOf;
using ::testing::Eq;
using ::testing::FloatNear;
using ::testing::Ge;
using ::testing::Le;
using ::testing::Lt;

TEST(FrameUpdate, FirstUpdateIsTiny) {
    World w;
    Game& g = *w.game;
    // The first update is tiny, and only it runs the settlements during the intro.
    const float timer0 = g.settlements[0]->spawnTimer;
    const auto timers = [&] { return glm::vec2(g.introTimer, g.settlements[0]->spawnTimer - timer0); };
    w.run(0.5f, 0.5f);  // one update, however long loading took
    EXPECT_NEAR(glm::length(timers() - glm::vec2(0.0001f, 0.0001f)), 0.0f, 1e-6f);
    EXPECT_EQ(g.firstUpdate, 0.0f);
    w.run(0.5f, 0.5f);  // still in the intro: the world waits
    EXPECT_NEAR(glm::length(timers() - glm::vec2(0.5001f, 0.0001f)), 0.0f, 1e-6f);
}

TEST(FrameUpdate, TimeScaleKeysNeedRightControlAndLeaveTheCameraOnRealTime) {
    World w;
    Game& g = *w.game;
    omxtest::ScriptedInput& in = w.input;
    w.run(0.5f, 0.5f);  // past the tiny first update, in the intro
    // Frames of 1/60 s of real time, scaled as the frame loop scales them.
    const auto press = [&](std::set<int> keys, int updates) {
        in.held = std::move(keys);
        for (int i = 0; i < updates; ++i) g.update(g.timeScale / 60.0f);
    };
    // Without the keypad key right Ctrl is never even read.
    press({}, 1);
    EXPECT_EQ(std::count(in.queried.begin(), in.queried.end(), Key::RightControl), 0);
    press({Key::KeypadAdd}, 1);
    EXPECT_FLOAT_EQ(g.timeScale, 1.0f);
    press({Key::KeypadAdd, Key::RightControl}, 2);  // a tenth a frame at 60 frames a second
    EXPECT_NEAR(g.timeScale, 1.2f, 1e-5f);
    press({Key::Keypad0, Key::RightControl}, 1);
    EXPECT_EQ(g.timeScale, 1.0f);
    // Held down far too long: the scale stops at 0.1 and the camera's time stays finite and positive.
    press({Key::KeypadSubtract, Key::RightControl}, 40);
    EXPECT_THAT(g.timeScale, AllOf(Ge(0.1f), Lt(0.11f)));
    const float before = g.introTimer;
    g.update(0.01f * g.timeScale);
    EXPECT_NEAR(g.introTimer - before, 0.01f, 1e-4f);
    // Flying runs on real time while the world runs on scaled time.
    w.startPlaying();
    g.timeScale = 2.0f;
    in.held = {Key::W};
    const glm::vec3 start = g.camera->position;
    const float spawn0 = g.settlements[0]->spawnTimer;
    g.update(0.5f * g.timeScale);  // half a second of real time
    EXPECT_NEAR(glm::length(g.camera->position - start), 125.0f, 1e-2f);
    // ...while the world ran a whole second (or was reset by a birth).
    EXPECT_THAT(g.settlements[0]->spawnTimer, AnyOf(FloatNear(spawn0 + 1.0f, 1e-4f), Eq(0.0f))) << "from " << spawn0;
}

TEST(FrameUpdate, OverviewParksTheCameraFreezesTheWorldAndRestoresExactly) {
    World w;
    Game& g = *w.game;
    w.startPlaying();
    const glm::vec3 position(123.0f, 456.0f, -789.0f), direction = glm::normalize(glm::vec3(0.3f, -0.4f, 0.5f));
    g.camera->position = position;
    g.camera->direction = direction;
    g.toggleOverview(nullptr);
    EXPECT_TRUE(g.overviewMode);
    EXPECT_TRUE(g.infoPanel->visible);
    EXPECT_EQ(g.camera->position, glm::vec3(0.0f, 200.0f, 0.0f));
    EXPECT_EQ(g.camera->direction, glm::normalize(glm::vec3(0.0f, -1.0f, -1.0f)));
    EXPECT_EQ(g.infoPanel->position, g.camera->position + 2.0f * g.camera->direction);
    EXPECT_EQ(g.infoPanel->rotation.z, 45.0f);
    // Nothing in the world moves and the camera takes no input.
    const float spawn = g.settlements[2]->spawnTimer, border = g.borders[0]->position.y;
    w.input.held = {Key::W, Key::Space};
    w.run(2.0f, 0.1f);
    EXPECT_EQ(g.settlements[2]->spawnTimer, spawn);
    EXPECT_EQ(g.borders[0]->position.y, border);
    EXPECT_EQ(g.camera->position, glm::vec3(0.0f, 200.0f, 0.0f));
    w.input.held.clear();
    g.toggleOverview(nullptr);
    EXPECT_FALSE(g.overviewMode);
    EXPECT_FALSE(g.infoPanel->visible);
    EXPECT_EQ(g.camera->position, position);
    EXPECT_EQ(g.camera->direction, direction);
    const glm::vec3 focus(10.0f, 20.0f, 30.0f);
    g.toggleOverview(&focus);
    EXPECT_EQ(g.camera->position, focus);
}

TEST(FrameUpdate, BordersAndLightFollowTheCamera) {
    World w;
    Game& g = *w.game;
    w.startPlaying();
    // Outside the overview the borders rise with the camera and the light follows behind it.
    g.camera->position = glm::vec3(100.0f, 5200.0f, 200.0f);
    g.camera->direction = glm::normalize(glm::vec3(3.0f, -1.0f, 4.0f));
    g.light->position.y = 777.0f;
    g.updateBorders();
    for (const SceneObject* border : g.borders) EXPECT_FLOAT_EQ(border->position.y, 100.0f);
    g.updateLight();
    EXPECT_NEAR(glm::length(g.light->position - glm::vec3(100.0f - 6.0f, 777.0f, 200.0f - 8.0f)), 0.0f, 1e-4f);
    // Straight down there is no horizontal part: the light keeps the last one instead of becoming NaN.
    g.camera->direction = glm::vec3(0.0f, -1.0f, 0.0f);
    g.camera->position = glm::vec3(0.0f, 300.0f, 0.0f);
    g.updateLight();
    EXPECT_NEAR(glm::length(g.light->position - glm::vec3(-6.0f, 777.0f, -8.0f)), 0.0f, 1e-4f);
    // Night mode: the update leaves the light alone.
    g.nightMode = true;
    g.light->position = glm::vec3(0.0f, 5.0f, 0.0f);
    g.camera->direction = glm::normalize(glm::vec3(1.0f, -1.0f, 0.0f));
    w.run(0.1f, 0.05f);
    EXPECT_EQ(g.light->position, glm::vec3(0.0f, 5.0f, 0.0f));
}

TEST(Mood, FadesInOneSecondAndSwitchesTheMusic) {
    World w;
    Game& g = *w.game;
    g.state = GameState::Playing;
    const auto moods = [&](std::vector<int> m) {
        for (size_t n = 0; n < 5; ++n) g.settlements[n]->mood = m[n];
    };
    const auto fade = [&](int steps) {
        for (int i = 0; i < steps; ++i) g.updateMood(0.1f);
        return std::make_pair(g.badFactor, g.badFactorDirection);
    };
    moods({1, 1, 1, -1, -1});
    w.sound.clear();
    EXPECT_EQ(fade(1), std::make_pair(0.0f, 1));
    EXPECT_EQ(w.sound.played, std::vector<int>{MusicBad});
    EXPECT_NEAR(fade(5).first, 0.5f, 1e-5f);
    EXPECT_EQ(fade(6), std::make_pair(1.0f, 0));
    EXPECT_EQ(fade(1), std::make_pair(1.0f, 0));
    EXPECT_EQ(w.sound.played, std::vector<int>{MusicBad});  // no second start while the mood stays bad
    // Even balance counts as good: fade back with the good music.
    moods({1, 1, -1, -1, -1});
    EXPECT_EQ(fade(1).second, -1);
    EXPECT_EQ(w.sound.played, (std::vector<int>{MusicBad, MusicGood}));
    EXPECT_EQ(fade(20), std::make_pair(0.0f, 0));
}

TEST(Mood, ThreeDecidedSettlementsEndTheGameOnlyWithoutAFade) {
    const auto decide = [](std::vector<SettlementStatus> statuses, GameState state = GameState::Playing,
                           float fading = 0.0f) {
        World w;
        Game& g = *w.game;
        g.state = state;
        for (size_t n = 0; n < statuses.size(); ++n) g.settlements[n]->status = statuses[n];
        for (Settlement* s : g.settlements) s->mood = -1;
        g.badFactorDirection = fading > 0.0f ? -1 : 0;
        g.badFactor = fading;
        std::vector<GameState> states;  // after the first update and after the fade
        g.updateMood(0.1f);
        states.push_back(g.state);
        for (int i = 0; i < 10; ++i) g.updateMood(0.1f);
        states.push_back(g.state);
        return states;
    };
    const SettlementStatus won = SettlementStatus::Won, lost = SettlementStatus::Lost;
    EXPECT_EQ(decide({won, won, lost, lost}), (std::vector<GameState>{GameState::Playing, GameState::Playing}));
    EXPECT_EQ(decide({won, won, lost, lost, won}), (std::vector<GameState>{GameState::Won, GameState::Won}));
    EXPECT_EQ(decide({won, won, lost, lost, won}, GameState::Playing, 0.5f), (std::vector<GameState>{GameState::Playing, GameState::Won}));  // waits
    EXPECT_EQ(decide({lost, lost, lost}), (std::vector<GameState>{GameState::Lost, GameState::Lost}));
    EXPECT_EQ(decide({won, won, won}, GameState::Intro), (std::vector<GameState>{GameState::Intro, GameState::Intro}));  // nothing is decided in the intro
}

TEST(GameFlow, OverviewComesUpOnceSixSecondsAfterTheEnd) {
    World w;
    Game& g = *w.game;
    w.startPlaying();
    g.state = GameState::Won;
    w.run(5.9f, 0.1f);
    EXPECT_FALSE(g.overviewMode);
    w.run(0.3f, 0.1f);
    EXPECT_TRUE(g.overviewMode);
    EXPECT_TRUE(g.infoPanel->visible);
    // Set to 28 when it came up, counting on since.
    EXPECT_THAT(g.gameOverTimer, AllOf(Ge(28.0f), Lt(28.25f)));
    w.run(30.0f, 0.1f);
    EXPECT_TRUE(g.overviewMode) << "toggled again";
    EXPECT_EQ(g.state, GameState::Won);
    EXPECT_GT(g.gameOverTimer, 57.0f);
    // The player already in the overview at the mark: the toggle closes it and restores the camera.
    World v;
    Game& h = *v.game;
    v.startPlaying();
    h.state = GameState::Lost;
    const glm::vec3 before = h.camera->position;
    h.toggleOverview(nullptr);
    v.run(6.2f, 0.1f);
    EXPECT_FALSE(h.overviewMode);
    EXPECT_EQ(h.camera->position, before);
}

TEST(EffectVolumes, FollowTheNearestGrenadeWorkAndDuckTheMusic) {
    World w;
    Game& g = *w.game;
    Settlement& s = *g.settlements[3];
    // Camera above the grenade (or far from everything), workers, grenade state: crafting, rolling and music.
    const struct {
        float above;
        int workers;
        GrenadeState state;
        float crafting, rolling, music;
    } cases[] = {
        {-1.0f, 0, GrenadeState::Growing, 0.0f, 0.0f, 0.5f},  // far away: silent effects, music at one half
        {100.0f, 1, GrenadeState::Growing, 0.8f, 0.0f, 0.0f},
        {400.0f, 1, GrenadeState::Growing, 0.2f, 0.0f, 0.3f},
        {600.0f, 0, GrenadeState::Rolling, 0.0f, 0.25f, 0.25f},  // a rolling grenade is heard up to 800 away
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.above);
        s.workerCount = c.workers;
        s.grenade->grenadeState = c.state;
        g.camera->position = c.above < 0.0f ? glm::vec3(9000.0f, 3000.0f, 9000.0f)
                                            : s.grenade->position + glm::vec3(0.0f, c.above, 0.0f);
        g.updateEffectVolumes();
        const auto& v = w.sound.volumes;
        EXPECT_NEAR(glm::length(glm::vec4(v[SoundHolyGrenadeCrafting], v[SoundHolyGrenadeRolling], v[MusicGood],
                                          v[MusicBad]) - glm::vec4(c.crafting, c.rolling, c.music, c.music)),
                    0.0f, 1e-5f);
    }
}

// Long frames: after a stall, or at a high time scale on a slow machine, one frame holds seconds of game time.
TEST(LongFrames, OneUpdateOfAMinuteKeepsEveryPersonHomeAndTheCountsSane) {
    World w(3);
    Game& g = *w.game;
    w.startPlaying();
    w.run(30.0f, 1.0f / 60.0f);  // people are born and walk about
    w.run(60.0f, 60.0f);
    int people = 0;
    for (const Settlement* s : g.settlements) {
        int alive = 0;
        for (const auto* list : {&s->goodPeople, &s->badPeople})
            for (const SceneObject* p : *list) {
                if (p->personState == PersonState::Gone) continue;
                ++alive;
                // A walker may be a few steps past its square before it turns back; never far.
                const float out = std::fmax(std::fabs(p->position.x - s->position.x),
                                            std::fabs(p->position.z - s->position.z));
                EXPECT_LT(out, 307.0f + 60.0f) << "person " << p->id << " in state " << p->personState;  // false on NaN
            }
        EXPECT_LE(alive + s->deadGoodCount, 50);
        EXPECT_THAT(s->workerCount, AllOf(Ge(0), Le(alive)));
        people += alive;
    }
    EXPECT_GT(people, 20);
}

TEST(LongFrames, DraggedWorkersReachTheTreeAtTenTimesSpeedOnTwentyAndOnEightFramesASecond) {
    // Workers around every grenade of a few worlds, each with a bad person right beside it.
    int cases = 0;
    for (const float frameTime : {10.0f / 20.0f, 10.0f / 8.0f})
        for (unsigned seed = 1; seed <= 4; ++seed) {
            World w(seed);
            Game& g = *w.game;
            w.startPlaying();
            std::vector<std::pair<SceneObject*, SceneObject*>> pairs;  // worker, dragger
            for (Settlement* s : g.settlements) {
                s->spawnInterval = 1.0e9f;
                const float angle = static_cast<float>(seed * 37 + static_cast<unsigned>(s->index) * 71) / 57.29578f;
                const glm::vec3 out(std::cos(angle), 0.0f, std::sin(angle)), side(-out.z, 0.0f, out.x);
                const glm::vec3 at = s->grenade->position;
                s->workerCount = 1;
                pairs.emplace_back(&omxtest::addPerson(g, *s, ObjectType::GoodPerson, PersonState::Working, at + 45.0f * out),
                                   &omxtest::addPerson(g, *s, ObjectType::BadPerson, PersonState::Wandering, at + 42.0f * out + 12.0f * side));
            }
            g.timeScale = 10.0f;
            w.run(120.0f, frameTime);  // two game minutes
            for (const auto& [worker, dragger] : pairs) {
                SCOPED_TRACE("frames of " + std::to_string(frameTime) + " s, seed " + std::to_string(seed) +
                             ", settlement " + std::to_string(worker->owner->index));
                EXPECT_EQ(worker->type, ObjectType::BadPerson) << "the worker never reached the tree";
                EXPECT_NE(dragger->personState, PersonState::Dragging) << "the dragger walked past the tree and kept dragging";
                ++cases;
            }
        }
    EXPECT_EQ(cases, 40);
}

TEST(LongFrames, ANeglectedSettlementIsLostAfterTheSameGameTimeAtAnySpeed) {
    // Game seconds until settlement 0 of a world without births is lost, at `frameTime` of game time per update.
    const auto secondsUntilLost = [](float frameTime) {
        World w(4);
        Game& g = *w.game;
        w.startPlaying();
        for (Settlement* s : g.settlements) s->spawnInterval = 1.0e9f;
        float t = 0.0f;
        for (; t < 400.0f && g.settlements[0]->status != SettlementStatus::Lost; t += frameTime) {
            w.run(frameTime, frameTime);
            if (g.overviewMode) g.toggleOverview(nullptr);
        }
        return t;
    };
    const float atNormalSpeed = secondsUntilLost(1.0f / 60.0f);
    EXPECT_LT(atNormalSpeed, 400.0f);
    EXPECT_NEAR(secondsUntilLost(10.0f / 20.0f), atNormalSpeed, 1.0f);  // ten times on twenty frames a second
}

TEST(Pause, TheWorldAndItsSoundsStandStillWhileTheCameraFlies) {
    World w;
    Game& g = *w.game;
    w.startPlaying();
    w.run(8.0f, 0.05f);  // people are born and walk
    Settlement& s = *g.settlements[0];
    ASSERT_FALSE(s.goodPeople.empty());
    const SceneObject& person = *s.goodPeople.front();
    // Everything the world moves, in one list so that one comparison shows what moved.
    const auto world = [&] {
        return std::vector<float>{person.position.x, person.position.z, s.spawnTimer,   s.grenadeProgress,
                                  s.moai->rotation.y, g.badFactor,      g.gameOverTimer};
    };
    const glm::vec3 cameraAt = g.camera->position;
    w.sound.clear();
    const auto volumes = w.sound.volumes;
    g.setPaused(true);
    EXPECT_TRUE(g.paused);
    EXPECT_TRUE(w.sound.allPaused);
    g.state = GameState::Won;  // not even the end of the game goes on
    const std::vector<float> before = world();
    w.input.held = {Key::W};
    w.run(5.0f, 0.05f);
    EXPECT_EQ(world(), before);
    EXPECT_TRUE(w.sound.played.empty());
    EXPECT_EQ(w.sound.volumes, volumes);
    EXPECT_GT(glm::length(g.camera->position - cameraAt), 100.0f) << "the camera still flies";
    w.input.held.clear();

    g.setPaused(true);  // pausing again changes nothing
    EXPECT_TRUE(w.sound.allPaused);
    g.setPaused(false);
    EXPECT_FALSE(g.paused);
    EXPECT_FALSE(w.sound.allPaused);
    w.run(1.0f, 0.05f);
    const std::vector<float> after = world();
    EXPECT_NE(after[0], before[0]);  // the person walks
    EXPECT_NE(after[4], before[4]);  // the statue turns
    EXPECT_GT(after[6], before[6]);  // the end goes on
}

TEST(Pause, TheGrenadesGlowHoldsStillWhilePausedAndGoesOnFromWhereItWas) {
    World w;
    Game& g = *w.game;
    w.startPlaying();
    g.timeScale = 2.0f;
    const float start = g.glowTime;
    w.run(1.0f, 0.1f);  // ten frames of 0.05 s real time each
    const float running = g.glowTime;
    EXPECT_NEAR(running - start, 0.5f, 1e-4f) << "the glow runs on real time, not game time";
    g.setPaused(true);
    w.run(1.0f, 0.1f);
    EXPECT_EQ(g.glowTime, running);
    g.setPaused(false);
    w.run(0.2f, 0.1f);
    EXPECT_NEAR(g.glowTime, running + 0.1f, 1e-4f);
}

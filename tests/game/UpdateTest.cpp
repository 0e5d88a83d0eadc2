// UpdateTest.cpp -- the frame update: first step, time scale, overview, borders, light, mood, the end, volumes.
#include <algorithm>
#include <cmath>

#include <gtest/gtest.h>

#include "support/GameBuilders.h"

using omxtest::World;

TEST(FrameUpdate, FirstUpdateIsTinyAndOnlyItRunsTheSettlementsDuringTheIntro) {
    World w;
    Game& g = *w.game;
    const float timer0 = g.settlements[0]->spawnTimer;
    w.run(0.5f, 0.5f);  // one update, however long loading took
    EXPECT_FLOAT_EQ(g.introTimer, 0.0001f);
    EXPECT_FLOAT_EQ(g.settlements[0]->spawnTimer - timer0, 0.0001f);
    EXPECT_EQ(g.firstUpdate, 0.0f);
    w.run(0.5f, 0.5f);
    EXPECT_FLOAT_EQ(g.introTimer, 0.5001f);
    EXPECT_FLOAT_EQ(g.settlements[0]->spawnTimer - timer0, 0.0001f);  // still in the intro: the world waits
}

TEST(FrameUpdate, TimeScaleKeysNeedRightControlAndStayAtOneTenthOrMore) {
    World w;
    Game& g = *w.game;
    omxtest::ScriptedInput& in = w.input;

    // Without the keypad key right Ctrl is never even read.
    g.update(0.01f);
    EXPECT_EQ(std::count(in.queried.begin(), in.queried.end(), Key::RightControl), 0);

    in.held = {Key::KeypadAdd};
    g.update(0.01f);
    EXPECT_FLOAT_EQ(g.timeScale, 1.0f);
    in.held = {Key::KeypadAdd, Key::RightControl};
    g.update(0.01f);
    g.update(0.01f);
    EXPECT_NEAR(g.timeScale, 1.2f, 1e-6f);
    in.held = {Key::Keypad0, Key::RightControl};
    g.update(0.01f);
    EXPECT_EQ(g.timeScale, 1.0f);

    // Held down far too long: the scale stops at 0.1 and the camera's time stays finite and positive.
    in.held = {Key::KeypadSubtract, Key::RightControl};
    for (int i = 0; i < 40; ++i) g.update(0.01f);
    EXPECT_GE(g.timeScale, 0.1f);
    EXPECT_LT(g.timeScale, 0.11f);
    const float before = g.introTimer;
    g.update(0.01f * g.timeScale);
    EXPECT_NEAR(g.introTimer - before, 0.01f, 1e-4f);
}

TEST(FrameUpdate, CameraRunsOnUnscaledTime) {
    World w;
    Game& g = *w.game;
    w.startPlaying();
    g.timeScale = 2.0f;
    w.input.held = {Key::W};
    const glm::vec3 start = g.camera->position;
    const float spawn0 = g.settlements[0]->spawnTimer;
    g.update(0.5f * g.timeScale);  // half a second of real time
    EXPECT_NEAR(glm::length(g.camera->position - start), 125.0f, 1e-2f);
    // ...while the world ran a whole second (or was reset by a birth).
    const float spawned = g.settlements[0]->spawnTimer - spawn0;
    EXPECT_TRUE(std::fabs(spawned - 1.0f) < 1e-4f || g.settlements[0]->spawnTimer == 0.0f) << spawned;
}

TEST(FrameUpdate, OverviewParksTheCameraFreezesTheWorldAndRestoresExactly) {
    World w;
    Game& g = *w.game;
    w.startPlaying();
    g.camera->position = glm::vec3(123.0f, 456.0f, -789.0f);
    g.camera->direction = glm::normalize(glm::vec3(0.3f, -0.4f, 0.5f));
    const glm::vec3 position = g.camera->position;
    const glm::vec3 direction = g.camera->direction;

    g.toggleOverview(nullptr);
    EXPECT_TRUE(g.overviewMode);
    EXPECT_EQ(g.camera->position, glm::vec3(0.0f, 200.0f, 0.0f));
    EXPECT_EQ(g.camera->direction, glm::normalize(glm::vec3(0.0f, -1.0f, -1.0f)));
    EXPECT_TRUE(g.infoPanel->visible);
    EXPECT_EQ(g.infoPanel->position, g.camera->position + 2.0f * g.camera->direction);
    EXPECT_EQ(g.infoPanel->rotation.z, 45.0f);

    // Nothing in the world moves and the camera takes no input.
    const float spawn = g.settlements[2]->spawnTimer;
    const float border = g.borders[0]->position.y;
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

TEST(FrameUpdate, BordersRiseWithTheCameraAndTheLightFollowsBehindIt) {
    World w;
    Game& g = *w.game;
    w.startPlaying();
    g.camera->position = glm::vec3(100.0f, 5200.0f, 200.0f);
    g.camera->direction = glm::normalize(glm::vec3(3.0f, -1.0f, 4.0f));
    g.light->position.y = 777.0f;
    g.updateBorders();
    for (const SceneObject* border : g.borders) EXPECT_FLOAT_EQ(border->position.y, 100.0f);
    g.updateLight();
    EXPECT_FLOAT_EQ(g.light->position.x, 100.0f - 6.0f);
    EXPECT_FLOAT_EQ(g.light->position.z, 200.0f - 8.0f);
    EXPECT_EQ(g.light->position.y, 777.0f);

    // Straight down there is no horizontal part: the light keeps the last one instead of becoming NaN.
    g.camera->direction = glm::vec3(0.0f, -1.0f, 0.0f);
    g.camera->position = glm::vec3(0.0f, 300.0f, 0.0f);
    g.updateLight();
    EXPECT_FLOAT_EQ(g.light->position.x, -6.0f);
    EXPECT_FLOAT_EQ(g.light->position.z, -8.0f);

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
    g.state = Playing;
    const int bad[5] = {1, 1, 1, -1, -1};
    for (int n = 0; n < 5; ++n) g.settlements[static_cast<size_t>(n)]->mood = bad[n];
    w.sound.clear();
    g.updateMood(0.1f);
    EXPECT_EQ(g.badFactorDirection, 1);
    EXPECT_EQ(w.sound.played, std::vector<int>{MusicBad});
    EXPECT_EQ(g.badFactor, 0.0f);
    for (int i = 0; i < 5; ++i) g.updateMood(0.1f);
    EXPECT_NEAR(g.badFactor, 0.5f, 1e-5f);
    for (int i = 0; i < 6; ++i) g.updateMood(0.1f);
    EXPECT_EQ(g.badFactor, 1.0f);
    EXPECT_EQ(g.badFactorDirection, 0);
    EXPECT_EQ(w.sound.playCount(MusicBad), 1);  // no second start while the mood stays bad
    g.updateMood(0.1f);
    EXPECT_EQ(g.badFactorDirection, 0);

    // Even balance counts as good: fade back with the good music.
    for (Settlement* s : g.settlements) s->mood = -1;
    g.settlements[0]->mood = 1;
    g.settlements[1]->mood = 1;
    g.updateMood(0.1f);
    EXPECT_EQ(g.badFactorDirection, -1);
    EXPECT_EQ(w.sound.played.back(), MusicGood);
    for (int i = 0; i < 20; ++i) g.updateMood(0.1f);
    EXPECT_EQ(g.badFactor, 0.0f);
    EXPECT_EQ(g.badFactorDirection, 0);
}

TEST(Mood, ThreeDecidedSettlementsEndTheGameOnlyWithoutAFade) {
    World w;
    Game& g = *w.game;
    g.state = Playing;
    g.settlements[0]->status = SettlementWon;
    g.settlements[1]->status = SettlementWon;
    g.settlements[2]->status = SettlementLost;
    g.settlements[3]->status = SettlementLost;
    for (Settlement* s : g.settlements) s->mood = -1;
    g.updateMood(0.1f);
    EXPECT_EQ(g.state, Playing);

    g.settlements[4]->status = SettlementWon;
    g.badFactorDirection = -1;  // a fade is running: the test waits for its end
    g.badFactor = 0.5f;
    g.updateMood(0.1f);
    EXPECT_EQ(g.state, Playing);
    for (int i = 0; i < 10; ++i) g.updateMood(0.1f);
    EXPECT_EQ(g.state, Won);

    World lost;
    Game& l = *lost.game;
    l.state = Playing;
    for (int n = 0; n < 3; ++n) l.settlements[static_cast<size_t>(n)]->status = SettlementLost;
    for (Settlement* s : l.settlements) s->mood = -1;
    l.updateMood(0.1f);
    EXPECT_EQ(l.state, Lost);

    // During the intro nothing is decided.
    World intro;
    for (int n = 0; n < 3; ++n) intro.game->settlements[static_cast<size_t>(n)]->status = SettlementWon;
    intro.game->updateMood(0.1f);
    EXPECT_EQ(intro.game->state, Intro);
}

TEST(GameFlow, OverviewComesUpOnceSixSecondsAfterTheEnd) {
    World w;
    Game& g = *w.game;
    w.startPlaying();
    g.state = Won;
    w.run(5.9f, 0.1f);
    EXPECT_FALSE(g.overviewMode);
    w.run(0.3f, 0.1f);
    EXPECT_TRUE(g.overviewMode);
    EXPECT_TRUE(g.infoPanel->visible);
    EXPECT_GE(g.gameOverTimer, 28.0f);  // set to 28 when it came up, counting on since
    EXPECT_LT(g.gameOverTimer, 28.25f);
    w.run(30.0f, 0.1f);
    EXPECT_TRUE(g.overviewMode);  // never toggled again
    EXPECT_GT(g.gameOverTimer, 57.0f);
    EXPECT_EQ(g.state, Won);

    // The player already in the overview at the mark: the toggle closes it and restores the camera.
    World v;
    Game& h = *v.game;
    v.startPlaying();
    h.state = Lost;
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
        int workers, state;
        float crafting, rolling, music;
    } cases[] = {
        {-1.0f, 0, Growing, 0.0f, 0.0f, 0.5f},  // far away: silent effects, music at one half
        {100.0f, 1, Growing, 0.8f, 0.0f, 0.0f},
        {400.0f, 1, Growing, 0.2f, 0.0f, 0.3f},
        {600.0f, 0, Rolling, 0.0f, 0.25f, 0.25f},  // a rolling grenade is heard up to 800 away
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.above);
        s.workerCount = c.workers;
        s.grenade->state = c.state;
        g.camera->position = c.above < 0.0f ? glm::vec3(9000.0f, 3000.0f, 9000.0f)
                                            : s.grenade->position + glm::vec3(0.0f, c.above, 0.0f);
        g.updateEffectVolumes();
        EXPECT_NEAR(w.sound.volumes[SoundHolyGrenadeCrafting], c.crafting, 1e-5f);
        EXPECT_NEAR(w.sound.volumes[SoundHolyGrenadeRolling], c.rolling, 1e-5f);
        EXPECT_NEAR(w.sound.volumes[MusicGood], c.music, 1e-5f);
        EXPECT_NEAR(w.sound.volumes[MusicBad], c.music, 1e-5f);
    }
}

namespace {

// Game seconds until settlement 0 of a world without births is lost, at `frameTime` of game time per update.
float secondsUntilTheFirstSettlementIsLost(float frameTime) {
    World w(4);
    Game& g = *w.game;
    w.startPlaying();
    for (Settlement* s : g.settlements) s->spawnInterval = 1.0e9f;
    float t = 0.0f;
    while (t < 400.0f && g.settlements[0]->status != SettlementLost) {
        w.run(frameTime, frameTime);
        if (g.overviewMode) g.toggleOverview(nullptr);
        t += frameTime;
    }
    return t;
}

}  // namespace

// Long frames: after a stall, or at a high time scale on a slow machine, one frame holds seconds of game time.
TEST(LongFrames, OneUpdateOfAMinuteKeepsEveryPersonHomeAndTheCountsSane) {
    World w(3);
    Game& g = *w.game;
    w.startPlaying();
    w.run(30.0f, 1.0f / 60.0f);  // people are born and walk about
    testing::internal::CaptureStdout();
    g.update(60.0f);
    testing::internal::GetCapturedStdout();
    int people = 0;
    for (const Settlement* s : g.settlements) {
        EXPECT_GE(s->workerCount, 0);
        int alive = 0;
        for (const auto* list : {&s->goodPeople, &s->badPeople})
            for (const SceneObject* p : *list) {
                if (p->state == Gone) continue;
                ++alive;
                ASSERT_TRUE(std::isfinite(p->position.x) && std::isfinite(p->position.z));
                // A walker may be a few steps past its square before it turns back; never far.
                const float out = std::fmax(std::fabs(p->position.x - s->position.x),
                                            std::fabs(p->position.z - s->position.z));
                EXPECT_LT(out, 307.0f + 60.0f) << "person " << p->id << " in state " << p->state;
            }
        EXPECT_LE(alive + s->deadGoodCount, 50);
        EXPECT_LE(s->workerCount, alive);
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
            const glm::vec3 grenade = s->grenade->position;
            const float angle = static_cast<float>(seed * 37 + static_cast<unsigned>(s->index) * 71) / 57.29578f;
            const glm::vec3 out(std::cos(angle), 0.0f, std::sin(angle));
            const glm::vec3 side(-out.z, 0.0f, out.x);
            SceneObject& worker = omxtest::addPerson(g, *s, GoodPerson, Working, grenade + 45.0f * out);
            s->workerCount = 1;
            SceneObject& dragger =
                omxtest::addPerson(g, *s, BadPerson, Wandering, grenade + 42.0f * out + 12.0f * side);
            pairs.emplace_back(&worker, &dragger);
        }
        g.timeScale = 10.0f;
        w.run(120.0f, frameTime);  // two game minutes
        for (const auto& [worker, dragger] : pairs) {
            SCOPED_TRACE("frames of " + std::to_string(frameTime) + " s, seed " + std::to_string(seed) +
                         ", settlement " + std::to_string(worker->owner->index));
            EXPECT_EQ(worker->type, BadPerson) << "the worker never reached the tree";
            EXPECT_NE(dragger->state, Dragging) << "the dragger walked past the tree and kept dragging";
            ++cases;
        }
    }
    EXPECT_EQ(cases, 40);
}

TEST(LongFrames, ANeglectedSettlementIsLostAfterTheSameGameTimeAtAnySpeed) {
    const float atNormalSpeed = secondsUntilTheFirstSettlementIsLost(1.0f / 60.0f);
    const float atTenTimesOnTwentyFps = secondsUntilTheFirstSettlementIsLost(10.0f / 20.0f);
    EXPECT_LT(atNormalSpeed, 400.0f);
    EXPECT_NEAR(atTenTimesOnTwentyFps, atNormalSpeed, 1.0f);
}

TEST(Pause, TheWorldAndItsSoundsStandStillWhileTheCameraFlies) {
    World w;
    Game& g = *w.game;
    w.startPlaying();
    w.run(8.0f, 0.05f);  // people are born and walk
    Settlement& s = *g.settlements[0];
    ASSERT_FALSE(s.goodPeople.empty());
    const SceneObject& person = *s.goodPeople.front();
    const glm::vec3 personAt = person.position;
    const float spawn = s.spawnTimer, progress = s.grenadeProgress, moaiTurn = s.moai->rotation.y;
    const float badFactor = g.badFactor;
    const glm::vec3 cameraAt = g.camera->position;
    w.sound.clear();
    const auto volumes = w.sound.volumes;

    g.setPaused(true);
    EXPECT_TRUE(g.paused);
    EXPECT_TRUE(w.sound.allPaused);
    g.state = Won;  // not even the end of the game goes on
    const float gameOver = g.gameOverTimer;
    w.input.held = {Key::W};
    w.run(5.0f, 0.05f);
    EXPECT_EQ(person.position, personAt);
    EXPECT_EQ(s.spawnTimer, spawn);
    EXPECT_EQ(s.grenadeProgress, progress);
    EXPECT_EQ(s.moai->rotation.y, moaiTurn);
    EXPECT_EQ(g.badFactor, badFactor);
    EXPECT_EQ(g.gameOverTimer, gameOver);
    EXPECT_TRUE(w.sound.played.empty());
    EXPECT_EQ(w.sound.volumes, volumes);
    EXPECT_GT(glm::length(g.camera->position - cameraAt), 100.0f) << "the camera still flies";
    w.input.held.clear();

    g.setPaused(true);  // pausing again changes nothing
    EXPECT_TRUE(w.sound.allPaused);
    g.setPaused(false);
    EXPECT_FALSE(w.sound.allPaused);
    w.run(1.0f, 0.05f);
    EXPECT_NE(person.position, personAt);
    EXPECT_NE(s.moai->rotation.y, moaiTurn);
    EXPECT_GT(g.gameOverTimer, gameOver);
}

// SettlementTest.cpp -- settlement objects and placement, the holy grenade's life, walls, monument, closeness.
#include <cmath>
#include <cstdlib>

#include <gtest/gtest.h>

#include "support/GameBuilders.h"

using omxtest::SettlementWorld;

namespace {

// Runs the grenade and wall steps until `done` holds or `limit` seconds pass; returns the time taken.
template <typename Done>
float runGrenade(Settlement& s, float dt, float limit, Done done) {
    float t = 0.0f;
    while (t < limit && !done()) {
        s.updateGrenade(dt);
        s.updateWalls(dt);
        t += dt;
    }
    return t;
}

}  // namespace

TEST(SettlementScatter, KeepsTreeStatueAndGrenadeApartOverManySeeds) {
    SettlementWorld w;
    const glm::vec3 centre(-640.0f, 0.0f, 960.0f);
    Settlement& s = w.add(centre);
    for (unsigned seed = 1; seed <= 400; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        std::srand(seed);
        s.scatter();
        for (const SceneObject* o : {s.tree, s.moai, s.grenade}) {
            const glm::vec3 off = o->position - centre;
            EXPECT_TRUE(off.x >= -235.0f && off.x <= 234.0f && off.z >= -235.0f && off.z <= 234.0f) << off.x << " " << off.z;
            EXPECT_EQ(off.x, std::floor(off.x));
            EXPECT_EQ(off.y, 0.0f);
        }
        EXPECT_GE(glm::distance(s.moai->position, s.tree->position), 235.0f);
        EXPECT_GE(glm::distance(s.grenade->position, s.moai->position), 235.0f);
        EXPECT_GE(glm::distance(s.grenade->position, s.tree->position), 235.0f);
        EXPECT_EQ(s.grenadeBorder->position, s.grenade->position);
        EXPECT_TRUE(s.spawnInterval >= 1.0f && s.spawnInterval <= 2.0f) << s.spawnInterval;
        EXPECT_TRUE(s.moai->rotationSpeed.y >= 25.0f && s.moai->rotationSpeed.y <= 50.0f);
    }
    // The same seed gives the same layout.
    std::srand(9);
    s.scatter();
    const glm::vec3 grenadeAt = s.grenade->position;
    std::srand(9);
    s.scatter();
    EXPECT_EQ(s.grenade->position, grenadeAt);
}

TEST(HolyGrenade, LeftAloneWarnsAfter126SecondsAndIsLostAfter180) {
    SettlementWorld w;
    Settlement& s = w.addFixed();
    const float dt = 1.0f / 60.0f;
    const float warnedAt = runGrenade(s, dt, 300.0f, [&] { return s.status == Warning; });
    EXPECT_NEAR(warnedAt, 126.0f, 0.1f);
    const float sinkY = s.grenade->position.y;
    EXPECT_NEAR(sinkY, -0.95f * 30.0f + 0.8f * 30.0f * (-1260.0f / 1800.0f), 0.1f);
    const float lostAt = warnedAt + runGrenade(s, dt, 300.0f, [&] { return s.status == SettlementLost; });
    EXPECT_NEAR(lostAt, 180.0f, 0.1f);
    EXPECT_EQ(s.grenade->state, Sunk);
    EXPECT_NEAR(s.grenade->position.y, -1.75f * 30.0f, 0.1f);
    // Lost is final: nothing moves the grenade any more.
    s.workerCount = 20;
    s.updateGrenade(1.0f);
    EXPECT_EQ(s.status, SettlementLost);
    EXPECT_EQ(s.grenade->state, Sunk);
}

TEST(HolyGrenade, TenWorkersFinishItIn400SecondsFacingTheTree) {
    SettlementWorld w;
    Settlement& s = w.addFixed();
    s.workerCount = 10;
    const float dt = 1.0f / 60.0f;
    const float half = runGrenade(s, dt, 500.0f, [&] { return s.grenadeProgress >= 2000.0f; });
    EXPECT_NEAR(half, 200.0f, 0.1f);
    EXPECT_NEAR(s.grenade->position.y, 1.87f * 30.0f * 0.5f - 0.95f * 30.0f, 0.05f);
    EXPECT_FLOAT_EQ(s.grenade->rotationLimit.x, 10.0f);
    EXPECT_FLOAT_EQ(std::fabs(s.grenade->rotationSpeed.z), 10.0f / 1.5f);
    EXPECT_FLOAT_EQ(s.grenade->rotationSpeed.y, 20.0f);
    EXPECT_LE(std::fabs(s.grenade->rotation.x), 10.0f + 10.0f * dt);
    EXPECT_EQ(w.sound.playCount(SoundHolyGrenadeFinished), 0);

    const float ready = half + runGrenade(s, dt, 500.0f, [&] { return s.grenade->state == Ready; });
    EXPECT_NEAR(ready, 400.0f, 0.1f);
    EXPECT_EQ(w.sound.playCount(SoundHolyGrenadeFinished), 1);
    EXPECT_EQ(s.grenadeBorder->state, GrenadeGone);
    EXPECT_EQ(s.grenade->rotation.x, 0.0f);
    EXPECT_EQ(s.grenade->rotation.z, 0.0f);
    const glm::vec3 toTree = omxtest::groundDirection(s.grenade->position, s.tree->position);
    EXPECT_GT(glm::dot(s.grenade->heading(), toTree), 0.9999f);
    // A Ready grenade waits for the throw.
    const glm::vec3 at = s.grenade->position;
    runGrenade(s, dt, 5.0f, [] { return false; });
    EXPECT_EQ(s.grenade->state, Ready);
    EXPECT_EQ(s.grenade->position, at);
}

TEST(HolyGrenade, ManyWorkersSwayItWithinThirtyDegrees) {
    SettlementWorld w;
    Settlement& s = w.addFixed();
    s.workerCount = 45;
    const float dt = 1.0f / 60.0f;
    float widest = 0.0f;
    for (int i = 0; i < 60 * 30; ++i) {
        s.updateGrenade(dt);
        ASSERT_LE(std::fabs(s.grenade->rotation.x), 30.0f + 45.0f * dt);
        ASSERT_LE(std::fabs(s.grenade->rotation.z), 30.0f + 30.0f * dt);
        widest = std::fmax(widest, std::fabs(s.grenade->rotation.x));
    }
    EXPECT_FLOAT_EQ(s.grenade->rotationLimit.z, 30.0f);
    EXPECT_GT(widest, 29.0f);
}

TEST(HolyGrenade, ThrownGrenadeRollsExplodesAndWinsWhileBadPeopleVanishSilently) {
    SettlementWorld w;
    Settlement& s = w.addFixed();
    s.grenadeProgress = 3999.9f;
    s.workerCount = 1;
    s.updateGrenade(0.5f);
    ASSERT_EQ(s.grenade->state, Ready);
    SceneObject& bad = w.addPerson(s, BadPerson, Wandering, glm::vec3(0.0f, 0.0f, -100.0f));
    SceneObject& struckBad = w.addPerson(s, BadPerson, Struck, glm::vec3(0.0f, 0.0f, -150.0f));
    struckBad.stateTimer = 0.9f;

    s.grenade->state = Rolling;
    const float distance = glm::distance(s.grenade->position, s.tree->position);
    const float dt = 1.0f / 60.0f;
    const float rolled = runGrenade(s, dt, 100.0f, [&] { return s.grenade->state != Rolling; });
    EXPECT_NEAR(rolled, (distance - 10.0f) / 10.0f, 0.05f);
    EXPECT_LT(s.grenade->rotation.x, 0.0f);  // rolls forward at -50 degrees per second
    EXPECT_EQ(s.grenade->state, Exploding);
    EXPECT_EQ(s.tree->state, Gone);
    EXPECT_EQ(s.status, SettlementWon);
    EXPECT_EQ(w.sound.playCount(SoundHolyGrenadeExplosion), 1);

    w.sound.clear();
    s.updateBadPeople(dt);
    EXPECT_EQ(bad.state, Gone);
    EXPECT_EQ(struckBad.state, Gone);
    s.updateBadPeople(dt);
    EXPECT_TRUE(s.badPeople.empty());
    for (int laugh = SoundGodLaugh1; laugh <= SoundGodLaugh4; ++laugh) EXPECT_EQ(w.sound.playCount(laugh), 0);

    const float exploded = runGrenade(s, dt, 10.0f, [&] { return s.grenade->state == GrenadeGone; });
    EXPECT_NEAR(exploded, 1.35f, 0.05f);
    EXPECT_GE(s.grenade->scale.x, 450.0f);
    EXPECT_EQ(s.grenade->rotation.x, 0.0f);
    EXPECT_EQ(w.sound.playCount(SoundHolyGrenadeFinished), 1);
}

TEST(HolyGrenade, ALongStepDoesNotCarryTheRollingGrenadePastItsTree) {
    SettlementWorld w;
    Settlement& s = w.addFixed();
    s.grenade->faceTowards(s.tree->position - s.grenade->position);
    s.grenade->state = Rolling;
    s.updateGrenade(200.0f);
    EXPECT_EQ(s.grenade->state, Exploding);
    EXPECT_EQ(s.status, SettlementWon);
}

TEST(HolyGrenade, IndicatorCirclesAtForty) {
    SettlementWorld w;
    Settlement& s = w.addFixed();
    s.updateIndicator(0.25f);
    EXPECT_NEAR(glm::distance(s.grenadeIndicator->position, s.grenade->position), 40.0f, 1e-3f);
    EXPECT_NEAR(s.grenadeIndicator->rotation.y, 50.0f, 1e-4f);
    const glm::vec3 quarter = s.grenadeIndicator->position - s.grenade->position;
    EXPECT_NEAR(quarter.x, 40.0f * std::cos(glm::radians(50.0f)), 1e-3f);
    EXPECT_NEAR(quarter.z, -40.0f * std::sin(glm::radians(50.0f)), 1e-3f);
}

TEST(SettlementWalls, WarningBlinksEvery0_7SecondsAndSoundsEverySecondBlink) {
    SettlementWorld w;
    Settlement& s = w.addFixed();
    s.grenadeProgress = -1300.0f;
    const float dt = 0.01f;
    int toggles = 0;
    bool phase = s.wall->blinkPhase;
    float lastToggle = 0.0f;
    float t = 0.0f;
    for (int step = 0; step < 690; ++step) {
        s.updateGrenade(dt);
        s.updateWalls(dt);
        t += dt;
        ASSERT_EQ(s.status, Warning);
        EXPECT_EQ(s.wall->highlighted, s.wall->blinkPhase);
        EXPECT_EQ(s.grenadeBorder->highlighted, s.wall->blinkPhase);
        if (s.wall->blinkPhase != phase) {
            phase = s.wall->blinkPhase;
            ++toggles;
            EXPECT_NEAR(t - lastToggle, 0.7f, 0.015f);
            lastToggle = t;
            // The sound comes as the blink turns off.
            EXPECT_EQ(w.sound.playCount(SoundWarning), toggles / 2);
        }
    }
    EXPECT_EQ(toggles, 9);
    EXPECT_EQ(w.sound.playCount(SoundWarning), 4);
}

TEST(SettlementWalls, WonMonumentRisesThenTheSettlementFloats) {
    SettlementWorld w;
    Settlement& s = w.addFixed(glm::vec3(500.0f, 0.0f, 700.0f));
    s.status = SettlementWon;
    s.wall->highlighted = true;
    const float dt = 1.0f / 64.0f;
    for (int i = 0; i < 128; ++i) s.updateWalls(dt);
    EXPECT_FALSE(s.wall->highlighted);
    EXPECT_NEAR(s.wall->position.y, 30.0f, 1e-3f);
    EXPECT_NEAR(s.monument->position.y, -112.5f, 1e-2f);
    EXPECT_NE(s.monument->state, Risen);
    for (int i = 0; i < 128; ++i) s.updateWalls(dt);
    EXPECT_EQ(s.monument->state, Risen);
    EXPECT_NEAR(s.monument->position.y, 0.0f, 1e-2f);
    const float risenWall = s.wall->position.y;
    for (int i = 0; i < 64; ++i) s.updateWalls(dt);
    EXPECT_NEAR(s.wall->position.y, risenWall + 30.0f, 1e-2f);
    EXPECT_EQ(s.position, s.wall->position - glm::vec3(60.0f));
    EXPECT_NEAR(s.position.x, 440.0f, 1e-3f);
    EXPECT_NEAR(s.monument->position.y, 0.0f, 1e-2f);  // the monument stays once risen
}

TEST(SettlementWalls, LostSettlementTurnsEveryoneBadAndSinks) {
    SettlementWorld w;
    Settlement& s = w.addFixed();
    SceneObject& good = w.addPerson(s, GoodPerson, Wandering, glm::vec3(0.0f, 0.0f, -100.0f));
    SceneObject& struckGood = w.addPerson(s, GoodPerson, Struck, glm::vec3(50.0f, 0.0f, -100.0f));
    SceneObject& struckBad = w.addPerson(s, BadPerson, Struck, glm::vec3(-50.0f, 0.0f, -100.0f));
    s.grenadeProgress = -1799.9f;
    const float dt = 1.0f / 60.0f;
    w.game.updateSettlements(dt, false);
    ASSERT_EQ(s.status, SettlementLost);
    EXPECT_EQ(s.mood, 1);
    EXPECT_TRUE(s.goodPeople.empty());
    EXPECT_EQ(good.type, BadPerson);
    EXPECT_EQ(good.state, Wandering);
    EXPECT_EQ(struckGood.state, Wandering);
    EXPECT_EQ(s.badPeople.size(), 3u);
    const glm::vec3 frozenAt = good.position;
    for (int i = 0; i < 60 * 30; ++i) w.game.updateSettlements(dt, false);
    EXPECT_EQ(s.monument->state, Risen);
    EXPECT_LT(s.position.y, 0.0f);
    EXPECT_NEAR(s.wall->position.y - s.position.y, 60.0f, 1e-3f);
    // Tree and people take the settlement's height before the wall moves in the same update.
    EXPECT_NEAR(s.tree->position.y, s.position.y, 3.0f * dt + 1e-4f);
    EXPECT_NEAR(good.position.y, s.position.y, 3.0f * dt + 1e-4f);
    EXPECT_EQ(good.position.x, frozenAt.x);  // nobody walks in a lost settlement
    // A bad person struck before the loss never dies there.
    EXPECT_EQ(struckBad.state, Struck);
    EXPECT_EQ(w.sound.playCount(SoundGodLaugh1) + w.sound.playCount(SoundGodLaugh2) +
                  w.sound.playCount(SoundGodLaugh3),
              0);
    // Newborns turn bad in the next update.
    ASSERT_FALSE(s.badPeople.empty());
    EXPECT_TRUE(s.goodPeople.empty());
}

TEST(EffectCloseness, FallsOffWithCameraDistanceByKind) {
    SettlementWorld w;
    Settlement& s = w.addFixed();
    ASSERT_NE(w.game.camera, nullptr);
    Camera& cam = *w.game.camera;
    cam.position = s.grenade->position;
    EXPECT_EQ(s.effectCloseness(EffectKind::Crafting), 0.0f);  // nobody works
    s.workerCount = 1;
    EXPECT_FLOAT_EQ(s.effectCloseness(EffectKind::Crafting), 1.0f);
    EXPECT_EQ(s.effectCloseness(EffectKind::Rolling), 0.0f);
    cam.position = s.grenade->position + glm::vec3(0.0f, 300.0f, 400.0f);
    EXPECT_EQ(s.effectCloseness(EffectKind::Crafting), 0.0f);  // 500 away: at the range
    cam.position = s.grenade->position + glm::vec3(0.0f, 250.0f, 0.0f);
    EXPECT_NEAR(s.effectCloseness(EffectKind::Crafting), 0.5f, 1e-5f);
    s.grenade->state = Rolling;
    EXPECT_EQ(s.effectCloseness(EffectKind::Crafting), 0.0f);
    cam.position = s.grenade->position + glm::vec3(400.0f, 0.0f, 0.0f);
    EXPECT_NEAR(s.effectCloseness(EffectKind::Rolling), 0.5f, 1e-5f);
    cam.position = s.grenade->position + glm::vec3(801.0f, 0.0f, 0.0f);
    EXPECT_EQ(s.effectCloseness(EffectKind::Rolling), 0.0f);
    w.game.camera = nullptr;
    EXPECT_EQ(s.effectCloseness(EffectKind::Rolling), 0.0f);
}

TEST(Animate, SwayBowAndSpinStayWithinTheirLimits) {
    SettlementWorld w;
    Settlement& s = w.addFixed();
    SceneObject& walker = w.addPerson(s, GoodPerson, Wandering, glm::vec3(0.0f));
    SceneObject& worker = w.addPerson(s, GoodPerson, Working, glm::vec3(0.0f));
    SceneObject& dragged = w.addPerson(s, GoodPerson, Dragged, glm::vec3(0.0f));
    SceneObject& struck = w.addPerson(s, BadPerson, Struck, glm::vec3(0.0f));
    walker.rotation.x = 12.0f;
    struck.rotation = glm::vec3(3.0f, 4.0f, 5.0f);
    const float dt = 1.0f / 60.0f;
    float walkerMin = 0.0f, walkerMax = 0.0f, workerMin = 0.0f;
    for (int i = 0; i < 600; ++i) {
        for (SceneObject* o : {&walker, &worker, &dragged, &struck, s.tree, s.moai}) o->animate(&s, dt);
        EXPECT_EQ(walker.rotation.x, 0.0f);
        EXPECT_EQ(worker.rotation.z, 0.0f);
        EXPECT_LE(std::fabs(walker.rotation.z), 30.0f + 130.0f * dt);
        EXPECT_GE(worker.rotation.x, -30.0f - 30.0f * dt);
        EXPECT_LE(worker.rotation.x, 30.0f * dt);
        EXPECT_LE(std::fabs(s.tree->rotation.x), 5.0f + 5.0f * dt);
        EXPECT_LE(std::fabs(s.tree->rotation.z), 5.0f + 5.0f * dt);
        walkerMin = std::fmin(walkerMin, walker.rotation.z);
        walkerMax = std::fmax(walkerMax, walker.rotation.z);
        workerMin = std::fmin(workerMin, worker.rotation.x);
    }
    EXPECT_LT(walkerMin, -29.0f);  // the sway reaches both ends
    EXPECT_GT(walkerMax, 29.0f);
    EXPECT_LT(workerMin, -29.0f);
    EXPECT_EQ(dragged.rotation.x, -30.0f);
    EXPECT_EQ(struck.rotation, glm::vec3(3.0f, 4.0f, 5.0f));
    const float spun = std::fmod(s.moai->rotationSpeed.y * 10.0f, 360.0f);
    EXPECT_NEAR(std::fmod(s.moai->rotation.y + 360.0f, 360.0f), spun, 0.05f);
}

TEST(Animate, LongFramesKeepSwayAndBowWithinTheirAngles) {
    SettlementWorld w;
    Settlement& s = w.addFixed();
    SceneObject& tree = *s.tree;
    tree.rotationSpeed = glm::vec3(4.0f, 0.0f, 3.0f);
    for (float dt : {0.016f, 12.0f, 0.5f, 30.0f, 0.016f, 7.0f}) {
        tree.animate(&s, dt);
        EXPECT_LE(std::fabs(tree.rotation.x), 5.0f) << dt;
        EXPECT_LE(std::fabs(tree.rotation.z), 5.0f) << dt;
    }
    SceneObject& walker = w.addPerson(s, GoodPerson, Wandering, glm::vec3(0.0f));
    SceneObject& worker = w.addPerson(s, GoodPerson, Working, glm::vec3(10.0f, 0.0f, 0.0f));
    bool walkerReachedTheSide = false;
    for (int i = 0; i < 20; ++i) {  // one frame a second
        walker.animate(&s, 1.0f);
        worker.animate(&s, 1.0f);
        EXPECT_LE(std::fabs(walker.rotation.z), 30.0f);
        EXPECT_TRUE(worker.rotation.x >= -30.0f && worker.rotation.x <= 0.0f) << worker.rotation.x;
        walkerReachedTheSide = walkerReachedTheSide || walker.rotation.z == 30.0f;
    }
    EXPECT_TRUE(walkerReachedTheSide);
}

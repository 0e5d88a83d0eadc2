// SettlementTest.cpp -- settlement objects and placement, the holy grenade's life, walls, monument, closeness.
#include <cmath>
#include <cstdlib>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "support/GameBuilders.h"

using omxtest::code;
using omxtest::SettlementWorld;
using ::testing::AllOf;
using ::testing::Ge;
using ::testing::IsEmpty;
using ::testing::Le;

namespace {

constexpr float frame = 1.0f / 60.0f;

// Runs the grenade and wall steps until `done` holds or `limit` seconds pass; returns the time taken.
template <typename Done>
float runGrenade(Settlement& s, float dt, float limit, Done done) {
    float t = 0.0f;
    for (; t < limit && !done(); t += dt) {
        s.updateGrenade(dt);
        s.updateWalls(dt);
    }
    return t;
}

float distance(const glm::vec3& a, const glm::vec3& b) { return glm::length(a - b); }

}  // namespace

TEST(SettlementScatter, KeepsTreeStatueAndGrenadeApartOverManySeeds) {
    SettlementWorld w;
    const glm::vec3 centre(-640.0f, 0.0f, 960.0f);
    Settlement& s = w.add(centre);
    for (unsigned seed = 1; seed <= 400; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        std::srand(seed);
        s.scatter();
        const SceneObject* placed[] = {s.tree, s.moai, s.grenade};
        for (int i = 0; i < 3; ++i) {
            const glm::vec3 off = placed[i]->position - centre;
            SCOPED_TRACE("object " + std::to_string(i));
            EXPECT_THAT(off.x, AllOf(Ge(-235.0f), Le(234.0f)));
            EXPECT_THAT(off.z, AllOf(Ge(-235.0f), Le(234.0f)));
            EXPECT_EQ(off.y, 0.0f);
            EXPECT_EQ(off.x, std::floor(off.x)) << "not on a whole unit";
            EXPECT_GE(distance(placed[i]->position, placed[(i + 1) % 3]->position), 235.0f);
        }
        EXPECT_EQ(s.grenadeBorder->position, s.grenade->position);
        EXPECT_THAT(s.spawnInterval, AllOf(Ge(1.0f), Le(2.0f)));
        EXPECT_THAT(s.moai->rotationSpeed.y, AllOf(Ge(25.0f), Le(50.0f)));
    }
    // The same seed gives the same layout.
    const auto layout = [&] {
        std::srand(9);
        s.scatter();
        return std::vector<glm::vec3>{s.tree->position, s.moai->position, s.grenade->position};
    };
    EXPECT_EQ(layout(), layout());
}

TEST(HolyGrenade, LeftAloneWarnsAfter126SecondsAndIsLostAfter180) {
    SettlementWorld w;
    Settlement& s = w.addFixed();
    const float warnedAt = runGrenade(s, frame, 300.0f, [&] { return s.status == SettlementStatus::Warning; });
    EXPECT_NEAR(warnedAt, 126.0f, 0.1f);
    EXPECT_NEAR(s.grenade->position.y, -0.95f * 30.0f + 0.8f * 30.0f * (-1260.0f / 1800.0f), 0.1f);
    const float lostAt = warnedAt + runGrenade(s, frame, 300.0f, [&] { return s.status == SettlementStatus::Lost; });
    EXPECT_NEAR(lostAt, 180.0f, 0.1f);
    EXPECT_NEAR(s.grenade->position.y, -1.75f * 30.0f, 0.1f);
    EXPECT_EQ(s.grenade->grenadeState, GrenadeState::Sunk);
    // Lost is final: nothing moves the grenade any more.
    s.workerCount = 20;
    s.updateGrenade(1.0f);
    EXPECT_EQ(s.status, SettlementStatus::Lost);
    EXPECT_EQ(s.grenade->grenadeState, GrenadeState::Sunk);
}

TEST(HolyGrenade, ItsIndicatorCircles) {
    SettlementWorld w;
    Settlement& s = w.addFixed();
    s.updateIndicator(0.25f);
    EXPECT_NEAR(s.grenadeIndicator->rotation.y, 50.0f, 1e-4f);
    const glm::vec3 quarter = 40.0f * glm::vec3(std::cos(glm::radians(50.0f)), 0.0f, -std::sin(glm::radians(50.0f)));
    EXPECT_NEAR(distance(s.grenadeIndicator->position, s.grenade->position + quarter), 0.0f, 1e-3f);
}

TEST(HolyGrenade, TenWorkersFinishItIn400SecondsFacingTheTree) {
    SettlementWorld w;
    Settlement& s = w.addFixed();
    s.workerCount = 10;
    const float half = runGrenade(s, frame, 500.0f, [&] { return s.grenadeProgress >= 2000.0f; });
    EXPECT_NEAR(half, 200.0f, 0.1f);
    EXPECT_NEAR(s.grenade->position.y, 1.87f * 30.0f * 0.5f - 0.95f * 30.0f, 0.05f);
    const glm::vec3 sway(s.grenade->rotationLimit.x, s.grenade->rotationSpeed.y, std::fabs(s.grenade->rotationSpeed.z));
    EXPECT_NEAR(glm::length(sway - glm::vec3(10.0f, 20.0f, 10.0f / 1.5f)), 0.0f, 1e-5f);
    EXPECT_LE(std::fabs(s.grenade->rotation.x), 10.0f + 10.0f * frame);
    EXPECT_EQ(w.sound.playCount(SoundHolyGrenadeFinished), 0);

    const float ready = half + runGrenade(s, frame, 500.0f, [&] { return s.grenade->grenadeState == GrenadeState::Ready; });
    EXPECT_NEAR(ready, 400.0f, 0.1f);
    EXPECT_EQ(w.sound.playCount(SoundHolyGrenadeFinished), 1);
    EXPECT_TRUE(s.grenadeBorder->gone);
    EXPECT_EQ(s.grenade->rotation.x, 0.0f);
    EXPECT_EQ(s.grenade->rotation.z, 0.0f);
    EXPECT_GT(glm::dot(s.grenade->heading(), omxtest::groundDirection(s.grenade->position, s.tree->position)),
              0.9999f);
    // A Ready grenade waits for the throw.
    const glm::vec3 at = s.grenade->position;
    runGrenade(s, frame, 5.0f, [] { return false; });
    EXPECT_EQ(s.grenade->grenadeState, GrenadeState::Ready);
    EXPECT_EQ(s.grenade->position, at);
}

TEST(HolyGrenade, ManyWorkersSwayItWiderButNeverPastThirtyDegrees) {
    SettlementWorld w;
    Settlement& busy = w.addFixed(glm::vec3(1000.0f, 0.0f, 0.0f));
    busy.workerCount = 45;
    float widest = 0.0f;
    for (int i = 0; i < 60 * 30; ++i) {
        busy.updateGrenade(frame);
        ASSERT_LE(std::fabs(busy.grenade->rotation.x), 30.0f + 45.0f * frame);
        ASSERT_LE(std::fabs(busy.grenade->rotation.z), 30.0f + 30.0f * frame);
        widest = std::fmax(widest, std::fabs(busy.grenade->rotation.x));
    }
    EXPECT_FLOAT_EQ(busy.grenade->rotationLimit.z, 30.0f);
    EXPECT_GT(widest, 29.0f);
}

TEST(HolyGrenade, ThrownGrenadeRollsExplodesAndWinsWhileBadPeopleVanishSilentlyAndTheStruckDieLaughedAt) {
    SettlementWorld w;
    Settlement& s = w.addFixed();
    s.grenadeProgress = 3999.9f;
    s.workerCount = 1;
    s.updateGrenade(0.5f);
    ASSERT_EQ(s.grenade->grenadeState, GrenadeState::Ready);
    SceneObject& bad = w.addPerson(s, ObjectType::BadPerson, PersonState::Wandering, glm::vec3(0.0f, 0.0f, -100.0f));
    SceneObject& struckBad = w.addPerson(s, ObjectType::BadPerson, PersonState::Struck, glm::vec3(0.0f, 0.0f, -150.0f));
    struckBad.stateTimer = 0.9f;
    s.grenade->grenadeState = GrenadeState::Rolling;
    const float rollTime = (distance(s.grenade->position, s.tree->position) - 10.0f) / 10.0f;
    EXPECT_NEAR(runGrenade(s, frame, 100.0f, [&] { return s.grenade->grenadeState != GrenadeState::Rolling; }), rollTime, 0.05f);
    EXPECT_LT(s.grenade->rotation.x, 0.0f);  // rolls forward at -50 degrees per second
    EXPECT_EQ(s.grenade->grenadeState, GrenadeState::Exploding);
    EXPECT_TRUE(s.tree->gone);
    EXPECT_EQ(s.status, SettlementStatus::Won);
    EXPECT_EQ(w.sound.playCount(SoundHolyGrenadeExplosion), 1);

    w.sound.clear();
    s.updateBadPeople(frame);
    EXPECT_EQ(bad.personState, PersonState::Gone);
    EXPECT_TRUE(w.sound.played.empty());
    // The one the player struck just before still dies a second after its strike, and the god laughs.
    EXPECT_EQ(struckBad.personState, PersonState::Struck);
    for (int i = 0; i < 6; ++i) s.updateBadPeople(frame);
    EXPECT_EQ(struckBad.personState, PersonState::Gone);
    EXPECT_EQ(w.sound.played.size(), 1u);
    s.updateBadPeople(frame);
    EXPECT_TRUE(s.badPeople.empty());
    w.sound.clear();
    EXPECT_NEAR(runGrenade(s, frame, 10.0f, [&] { return s.grenade->grenadeState == GrenadeState::Gone; }), 1.35f, 0.05f);
    EXPECT_GE(s.grenade->scale.x, 450.0f);
    EXPECT_EQ(s.grenade->rotation.x, 0.0f);
    EXPECT_EQ(w.sound.played, std::vector<int>{SoundHolyGrenadeFinished});
    // A long step does not carry a rolling grenade past its tree.
    Settlement& t = w.addFixed(glm::vec3(1000.0f, 0.0f, 0.0f));
    t.grenade->faceTowards(t.tree->position - t.grenade->position);
    t.grenade->grenadeState = GrenadeState::Rolling;
    t.updateGrenade(200.0f);
    EXPECT_EQ(t.grenade->grenadeState, GrenadeState::Exploding);
    EXPECT_EQ(t.status, SettlementStatus::Won);
}

TEST(SettlementWalls, WarningBlinksEvery0_7SecondsAndSoundsEverySecondBlink) {
    SettlementWorld w;
    Settlement& s = w.addFixed();
    s.grenadeProgress = -1300.0f;
    const float dt = 0.01f;
    int toggles = 0;
    bool phase = s.wall->blinkPhase;
    float lastToggle = 0.0f, t = 0.0f;
    for (int step = 0; step < 690; ++step) {
        s.updateGrenade(dt);
        s.updateWalls(dt);
        t += dt;
        ASSERT_EQ(s.status, SettlementStatus::Warning);
        EXPECT_EQ(s.wall->highlighted, s.wall->blinkPhase);
        EXPECT_EQ(s.grenadeBorder->highlighted, s.wall->blinkPhase);
        if (s.wall->blinkPhase == phase) continue;
        phase = s.wall->blinkPhase;
        ++toggles;
        EXPECT_NEAR(t - lastToggle, 0.7f, 0.015f);
        lastToggle = t;
        EXPECT_EQ(w.sound.playCount(SoundWarning), toggles / 2);  // the sound comes as the blink turns off
    }
    EXPECT_EQ(toggles, 9);
    EXPECT_EQ(w.sound.playCount(SoundWarning), 4);
}

TEST(SettlementWalls, WonMonumentRisesThenTheSettlementFloats) {
    SettlementWorld w;
    Settlement& s = w.addFixed(glm::vec3(500.0f, 0.0f, 700.0f));
    s.status = SettlementStatus::Won;
    s.wall->highlighted = true;
    const auto seconds = [&](float n) {
        for (int i = 0; i < static_cast<int>(n * 64.0f); ++i) s.updateWalls(1.0f / 64.0f);
    };
    seconds(2.0f);
    EXPECT_FALSE(s.wall->highlighted);
    EXPECT_FALSE(s.monument->risen);
    const glm::vec2 heights(s.wall->position.y, s.monument->position.y);
    EXPECT_NEAR(glm::length(heights - glm::vec2(30.0f, -112.5f)), 0.0f, 1e-2f);
    seconds(2.0f);
    EXPECT_TRUE(s.monument->risen);
    EXPECT_NEAR(s.monument->position.y, 0.0f, 1e-2f);
    const float risenWall = s.wall->position.y;
    seconds(1.0f);
    EXPECT_NEAR(s.wall->position.y, risenWall + 30.0f, 1e-2f);
    EXPECT_EQ(s.position, s.wall->position - glm::vec3(60.0f));
    EXPECT_NEAR(s.position.x, 440.0f, 1e-3f);
    EXPECT_NEAR(s.monument->position.y, 0.0f, 1e-2f);  // the monument stays once risen
}

TEST(SettlementWalls, LostSettlementTurnsEveryoneBadAndSinks) {
    SettlementWorld w;
    Settlement& s = w.addFixed();
    SceneObject& good = w.addPerson(s, ObjectType::GoodPerson, PersonState::Wandering, glm::vec3(0.0f, 0.0f, -100.0f));
    SceneObject& struckGood = w.addPerson(s, ObjectType::GoodPerson, PersonState::Struck, glm::vec3(50.0f, 0.0f, -100.0f));
    SceneObject& struckBad = w.addPerson(s, ObjectType::BadPerson, PersonState::Struck, glm::vec3(-50.0f, 0.0f, -100.0f));
    s.grenadeProgress = -1799.9f;
    w.game.updateSettlements(frame, false);
    ASSERT_EQ(s.status, SettlementStatus::Lost);
    EXPECT_EQ(s.mood, 1);
    EXPECT_EQ(s.goodPeople.size(), 1u);
    EXPECT_EQ(s.badPeople.size(), 2u);
    EXPECT_EQ(good.type, ObjectType::BadPerson);
    EXPECT_EQ(good.personState, PersonState::Wandering);
    // The struck good person is not turned: it dies as it was struck.
    EXPECT_EQ(struckGood.type, ObjectType::GoodPerson);
    EXPECT_EQ(struckGood.personState, PersonState::Struck);
    const glm::vec3 frozenAt = good.position;
    w.sound.clear();
    for (int i = 0; i < 60 * 30; ++i) w.game.updateSettlements(frame, false);
    EXPECT_TRUE(s.monument->risen);
    EXPECT_LT(s.position.y, 0.0f);
    EXPECT_NEAR(s.wall->position.y - s.position.y, 60.0f, 1e-3f);
    // Tree and people take the settlement's height before the wall moves in the same update.
    EXPECT_NEAR(s.tree->position.y, s.position.y, 3.0f * frame + 1e-4f);
    EXPECT_NEAR(good.position.y, s.position.y, 3.0f * frame + 1e-4f);
    EXPECT_EQ(good.position.x, frozenAt.x);  // nobody walks in a lost settlement
    // The people struck before the loss died there with regret and laughter; newborns turn bad.
    EXPECT_EQ(struckGood.personState, PersonState::Gone);
    EXPECT_EQ(struckBad.personState, PersonState::Gone);
    EXPECT_EQ(s.deadGoodCount, 1);
    EXPECT_EQ(w.sound.playCount(SoundGodRegret), 1);
    EXPECT_EQ(w.sound.playCount(SoundGodLaugh1) + w.sound.playCount(SoundGodLaugh2) + w.sound.playCount(SoundGodLaugh3), 1);
    EXPECT_GT(s.badPeople.size(), 2u);
    EXPECT_THAT(s.goodPeople, IsEmpty());
}

TEST(EffectCloseness, FallsOffWithCameraDistanceByKind) {
    SettlementWorld w;
    Settlement& s = w.addFixed();
    const struct {
        glm::vec3 offset;  // camera from the grenade
        int workers;
        GrenadeState state;
        float crafting, rolling;
    } cases[] = {
        {glm::vec3(0.0f), 0, GrenadeState::Growing, 0.0f, 0.0f},  // nobody works
        {glm::vec3(0.0f), 1, GrenadeState::Growing, 1.0f, 0.0f},
        {glm::vec3(0.0f, 300.0f, 400.0f), 1, GrenadeState::Growing, 0.0f, 0.0f},  // 500 away: at the range
        {glm::vec3(0.0f, 250.0f, 0.0f), 1, GrenadeState::Growing, 0.5f, 0.0f},
        {glm::vec3(0.0f, 250.0f, 0.0f), 1, GrenadeState::Rolling, 0.0f, 1.0f - 250.0f / 800.0f},
        {glm::vec3(400.0f, 0.0f, 0.0f), 1, GrenadeState::Rolling, 0.0f, 0.5f},
        {glm::vec3(801.0f, 0.0f, 0.0f), 1, GrenadeState::Rolling, 0.0f, 0.0f},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.offset.x) + " " + std::to_string(c.offset.y) + " " + std::to_string(c.offset.z));
        w.game.camera->position = s.grenade->position + c.offset;
        s.workerCount = c.workers;
        s.grenade->grenadeState = c.state;
        EXPECT_NEAR(s.effectCloseness(EffectKind::Crafting), c.crafting, 1e-5f);
        EXPECT_NEAR(s.effectCloseness(EffectKind::Rolling), c.rolling, 1e-5f);
    }
    w.game.camera = nullptr;
    EXPECT_EQ(s.effectCloseness(EffectKind::Rolling), 0.0f);
}

TEST(Animate, SwayBowAndSpinStayWithinTheirLimitsEvenOnLongFrames) {
    SettlementWorld w;
    Settlement& s = w.addFixed();
    SceneObject& walker = w.addPerson(s, ObjectType::GoodPerson, PersonState::Wandering, glm::vec3(0.0f));
    SceneObject& worker = w.addPerson(s, ObjectType::GoodPerson, PersonState::Working, glm::vec3(0.0f));
    SceneObject& dragged = w.addPerson(s, ObjectType::GoodPerson, PersonState::Dragged, glm::vec3(0.0f));
    SceneObject& struck = w.addPerson(s, ObjectType::BadPerson, PersonState::Struck, glm::vec3(0.0f));
    walker.rotation.x = 12.0f;
    struck.rotation = glm::vec3(3.0f, 4.0f, 5.0f);
    float walkerMin = 0.0f, walkerMax = 0.0f, workerMin = 0.0f;
    for (int i = 0; i < 600; ++i) {
        for (SceneObject* o : {&walker, &worker, &dragged, &struck, s.tree, s.moai}) o->animate(&s, frame);
        EXPECT_EQ(walker.rotation.x, 0.0f);
        EXPECT_EQ(worker.rotation.z, 0.0f);
        EXPECT_LE(std::fabs(walker.rotation.z), 30.0f + 130.0f * frame);
        EXPECT_THAT(worker.rotation.x, AllOf(Ge(-30.0f - 30.0f * frame), Le(30.0f * frame)));
        EXPECT_LE(std::fmax(std::fabs(s.tree->rotation.x), std::fabs(s.tree->rotation.z)), 5.0f + 5.0f * frame);
        walkerMin = std::fmin(walkerMin, walker.rotation.z);
        walkerMax = std::fmax(walkerMax, walker.rotation.z);
        workerMin = std::fmin(workerMin, worker.rotation.x);
    }
    // The sway reaches both ends.
    EXPECT_LT(walkerMin, -29.0f);
    EXPECT_GT(walkerMax, 29.0f);
    EXPECT_LT(workerMin, -29.0f);
    EXPECT_EQ(dragged.rotation.x, -30.0f);
    EXPECT_EQ(struck.rotation, glm::vec3(3.0f, 4.0f, 5.0f));
    const float spun = std::fmod(s.moai->rotationSpeed.y * 10.0f, 360.0f);
    EXPECT_NEAR(std::fmod(s.moai->rotation.y + 360.0f, 360.0f), spun, 0.05f);
    // Frames of seconds: the angles are held exactly at their limits.
    s.tree->rotationSpeed = glm::vec3(4.0f, 0.0f, 3.0f);
    for (float dt : {0.016f, 12.0f, 0.5f, 30.0f, 0.016f, 7.0f}) {
        s.tree->animate(&s, dt);
        EXPECT_LE(std::fmax(std::fabs(s.tree->rotation.x), std::fabs(s.tree->rotation.z)), 5.0f) << dt;
    }
    bool walkerReachedTheSide = false;
    for (int i = 0; i < 20; ++i) {  // one frame a second
        walker.animate(&s, 1.0f);
        worker.animate(&s, 1.0f);
        EXPECT_LE(std::fabs(walker.rotation.z), 30.0f);
        EXPECT_THAT(worker.rotation.x, AllOf(Ge(-30.0f), Le(0.0f)));
        walkerReachedTheSide = walkerReachedTheSide || walker.rotation.z == 30.0f;
    }
    EXPECT_TRUE(walkerReachedTheSide);
}

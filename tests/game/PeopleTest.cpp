// PeopleTest.cpp -- births, walking, temptation, work, dragging, strikes and the settlement driver.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <set>

#include <gtest/gtest.h>

#include "support/GameBuilders.h"

using omxtest::code;
using omxtest::SettlementWorld;

namespace {

constexpr float dt = 1.0f / 60.0f;

bool contains(const std::vector<SceneObject*>& list, const SceneObject* o) {
    return std::find(list.begin(), list.end(), o) != list.end();
}

bool faces(const SceneObject& p, const glm::vec3& at) {
    return glm::dot(p.heading(), omxtest::groundDirection(p.position, at)) > 0.9999f;
}

// Runs both people steps until `done` holds or `limit` seconds pass; returns the time taken.
template <typename Done>
float runPeople(Settlement& s, float limit, Done done) {
    float t = 0.0f;
    for (; t < limit && !done(); t += dt) {
        s.updateGoodPeople(dt);
        s.updateBadPeople(dt);
    }
    return t;
}

}  // namespace

TEST(Births, NewbornsLeaveTheStatueUpToFiftyLessTheDead) {
    SettlementWorld w;
    Settlement& s = w.addFixed();
    s.spawnInterval = 1.5f;
    s.deadGoodCount = 7;
    s.moai->rotation.y = 30.0f;
    s.spawnPeople(1.4f);
    EXPECT_TRUE(s.goodPeople.empty());
    const int nextId = nextObjectId;
    const float yaw = s.moai->rotation.y;  // the statue turns all the time
    s.spawnPeople(0.1f);
    ASSERT_EQ(s.goodPeople.size(), 1u);
    EXPECT_EQ(s.spawnTimer, 0.0f);
    const SceneObject& p = *s.goodPeople[0];
    EXPECT_EQ(p.id, nextId);
    EXPECT_EQ(p.personState, PersonState::Wandering);
    // Born five units in front of the statue, facing the way it looked before it turned on.
    EXPECT_EQ(p.rotation.y, yaw);
    EXPECT_GT(s.moai->rotation.y, yaw);
    const glm::vec3 ahead(std::cos(glm::radians(yaw)), 0.0f, -std::sin(glm::radians(yaw)));
    EXPECT_NEAR(glm::length(p.position - s.moai->position - 5.0f * ahead), 0.0f, 1e-4f);
    EXPECT_GE(p.rotationSpeed.x, -40.0f);
    EXPECT_LE(p.rotationSpeed.x, -20.0f);
    EXPECT_GE(p.rotationSpeed.z, -140.0f);
    EXPECT_LE(p.rotationSpeed.z, -120.0f);
    for (int i = 0; i < 100; ++i) s.spawnPeople(1.5f);
    EXPECT_EQ(s.goodPeople.size(), 43u);  // 50 - 7 dead
    // Bad people count against the limit as well; a removed bad person frees a place.
    s.badPeople.push_back(s.goodPeople.back());
    s.goodPeople.pop_back();
    s.badPeople.back()->type = ObjectType::BadPerson;
    s.spawnPeople(1.5f);
    EXPECT_EQ(s.goodPeople.size() + s.badPeople.size(), 43u);
    s.badPeople.clear();
    s.spawnPeople(1.5f);
    s.spawnPeople(1.5f);
    EXPECT_EQ(s.goodPeople.size(), 43u);
}

TEST(Walking, PeopleOutsideTheSquareTurnBackFirst) {
    SettlementWorld w;
    const glm::vec3 c(1000.0f, 0.0f, -500.0f);
    Settlement& s = w.addFixed(c);
    const struct {
        glm::vec3 at;
        float outwardYaw;
        glm::vec3 inward;
    } cases[] = {
        {c + glm::vec3(310.0f, 0.0f, 0.0f), 0.0f, glm::vec3(-1.0f, 0.0f, 0.0f)},
        {c + glm::vec3(-307.0f, 0.0f, 0.0f), 180.0f, glm::vec3(1.0f, 0.0f, 0.0f)},
        {c + glm::vec3(0.0f, 0.0f, -308.0f), 90.0f, glm::vec3(0.0f, 0.0f, 1.0f)},
        {c + glm::vec3(0.0f, 0.0f, 312.0f), 270.0f, glm::vec3(0.0f, 0.0f, -1.0f)},
        {c + glm::vec3(320.0f, 0.0f, 320.0f), 0.0f, glm::vec3(-1.0f, 0.0f, 0.0f)},  // at a corner only x counts
    };
    for (unsigned seed = 1; seed <= 50; ++seed) {
        std::srand(seed);
        for (const auto& k : cases) {
            SceneObject& p = w.addPerson(s, ObjectType::GoodPerson, PersonState::Wandering, k.at, k.outwardYaw);
            s.walk(p, 2.0f);
            EXPECT_GT(glm::dot(p.heading(), k.inward), 0.01f) << "seed " << seed;
            EXPECT_NEAR(glm::length(p.position - k.at - 2.0f * p.heading()), 0.0f, 1e-3f);
        }
    }
    // Inside the square a person keeps its heading.
    SceneObject& inside = w.addPerson(s, ObjectType::GoodPerson, PersonState::Wandering, c + glm::vec3(306.0f, 0.0f, 306.0f), 45.0f);
    s.walk(inside, 3.0f);
    EXPECT_EQ(inside.rotation.y, 45.0f);
    EXPECT_NEAR(inside.position.x, c.x + 306.0f + 3.0f * std::cos(glm::radians(45.0f)), 1e-3f);
}

TEST(GoodPeople, TheTreeTemptsTheWanderingAndConvertsThemWithTheAppleSound) {
    SettlementWorld w;
    Settlement& s = w.addFixed();
    Camera& cam = *w.game.camera;
    const glm::vec3 tree = s.tree->position;
    w.sound.clear();
    cam.position = tree + glm::vec3(0.0f, 0.0f, 150.0f);
    SceneObject& p = w.addPerson(s, ObjectType::GoodPerson, PersonState::Wandering, tree + glm::vec3(-50.0f, 0.0f, 0.0f), 90.0f);
    SceneObject& sent = w.addPerson(s, ObjectType::GoodPerson, PersonState::Sent, tree + glm::vec3(0.0f, 0.0f, -50.0f), 0.0f);
    s.updateGoodPeople(dt);
    EXPECT_TRUE(faces(p, tree));
    EXPECT_EQ(sent.rotation.y, 0.0f);  // a Sent person is not drawn to the tree
    const float took = runPeople(s, 5.0f, [&] { return p.type == ObjectType::BadPerson; });
    EXPECT_NEAR(took, 40.0f / 40.0f, 0.1f);  // from 50 to within 10 at 40 per second
    EXPECT_EQ(p.personState, PersonState::Wandering);
    EXPECT_TRUE(contains(s.badPeople, &p));
    EXPECT_FALSE(contains(s.goodPeople, &p));
    EXPECT_EQ(w.sound.played, std::vector<int>{SoundApple});
    EXPECT_NEAR(w.sound.volumes[SoundApple], 0.5f, 1e-4f);
    EXPECT_EQ(sent.type, ObjectType::GoodPerson);
    // While the sound plays a second conversion is silent; far from the camera too.
    for (const bool stillPlaying : {true, false}) {
        w.sound.reportPlaying = stillPlaying;
        if (!stillPlaying) cam.position = tree + glm::vec3(0.0f, 301.0f, 0.0f);
        SceneObject& q = w.addPerson(s, ObjectType::GoodPerson, PersonState::Wandering, tree + glm::vec3(5.0f, 0.0f, 0.0f));
        s.updateGoodPeople(dt);
        EXPECT_EQ(q.type, ObjectType::BadPerson);
        EXPECT_EQ(w.sound.playCount(SoundApple), 1);
    }
}

TEST(GoodPeople, PeopleNearAGrowingGrenadeStopAndWork) {
    SettlementWorld w;
    Settlement& s = w.addFixed();
    const glm::vec3 g = s.grenade->position;
    s.grenade->position.y = -20.0f;  // a half-built grenade: only the ground distance counts
    SceneObject& p = w.addPerson(s, ObjectType::GoodPerson, PersonState::Wandering, g + glm::vec3(0.0f, 0.0f, -60.0f), 90.0f);
    SceneObject& sent = w.addPerson(s, ObjectType::GoodPerson, PersonState::Sent, g + glm::vec3(60.0f, 0.0f, 0.0f), 90.0f);
    s.updateGoodPeople(dt);
    EXPECT_TRUE(faces(p, g));
    const float took = runPeople(s, 5.0f, [&] { return p.personState == PersonState::Working && sent.personState == PersonState::Working; });
    EXPECT_NEAR(took, 10.0f / 40.0f, 0.05f);
    EXPECT_EQ(s.workerCount, 2);
    const glm::vec3 workingAt = p.position;
    runPeople(s, 1.5f, [] { return false; });
    EXPECT_EQ(p.position, workingAt);
    EXPECT_LT(p.rotation.x, 0.0f);  // bowing
    s.grenade->grenadeState = GrenadeState::Ready;
    s.updateGoodPeople(dt);
    // Everyone goes back to wandering; the count is left as it was.
    EXPECT_EQ(p.personState, PersonState::Wandering);
    EXPECT_EQ(sent.personState, PersonState::Wandering);
    EXPECT_EQ(s.workerCount, 2);
}

TEST(BadPeople, DragTheFirstWorkerToTheTreeAndLetGoWhenStruck) {
    SettlementWorld w;
    Settlement& s = w.addFixed();
    w.game.camera->position = s.tree->position;
    const glm::vec3 g = s.grenade->position;
    SceneObject& first = w.addPerson(s, ObjectType::GoodPerson, PersonState::Working, g + glm::vec3(0.0f, 0.0f, -45.0f));
    SceneObject& second = w.addPerson(s, ObjectType::GoodPerson, PersonState::Working, g + glm::vec3(-45.0f, 0.0f, 0.0f));
    s.workerCount = 2;
    SceneObject& q = w.addPerson(s, ObjectType::BadPerson, PersonState::Wandering, g + glm::vec3(30.0f, 0.0f, -30.0f), 0.0f);
    s.updateBadPeople(dt);
    EXPECT_EQ(q.personState, PersonState::Dragging);
    EXPECT_EQ(first.personState, PersonState::Dragged);
    EXPECT_EQ(second.personState, PersonState::Working);
    EXPECT_EQ(s.workerCount, 1);
    EXPECT_EQ(first.target, &q);
    const glm::vec3 toTree = omxtest::groundDirection(q.position, s.tree->position);
    EXPECT_TRUE(faces(q, s.tree->position));
    EXPECT_TRUE(faces(first, s.tree->position));
    EXPECT_NEAR(glm::dot(q.position - first.position, toTree), 10.0f, 1e-3f);
    // Both walk to the tree; the dragger lets go there and the victim turns bad on arrival.
    EXPECT_LT(runPeople(s, 30.0f, [&] { return first.type == ObjectType::BadPerson; }), 30.0f);
    EXPECT_EQ(q.personState, PersonState::Wandering);
    EXPECT_EQ(first.personState, PersonState::Wandering);
    EXPECT_EQ(w.sound.playCount(SoundApple), 1);
    // A second bad person takes the remaining worker; a strike on it frees the victim.
    SceneObject& r = w.addPerson(s, ObjectType::BadPerson, PersonState::Wandering, g + glm::vec3(-30.0f, 0.0f, 30.0f), 0.0f);
    s.updateBadPeople(dt);
    ASSERT_EQ(second.personState, PersonState::Dragged);
    EXPECT_EQ(s.workerCount, 0);
    const glm::vec3 draggedHeading = second.heading();
    r.personState = PersonState::Struck;
    s.updateGoodPeople(dt);
    EXPECT_EQ(second.personState, PersonState::Sent);
    EXPECT_EQ(second.target, nullptr);
    EXPECT_NEAR(glm::dot(second.heading(), draggedHeading), -1.0f, 1e-4f);
    runPeople(s, 1.1f, [] { return false; });
    EXPECT_EQ(r.personState, PersonState::Gone);
    EXPECT_FALSE(contains(s.badPeople, &r));
}

TEST(BadPeople, TakeNobodyWithoutAWorkerOrAGrowingGrenade) {
    SettlementWorld w;
    Settlement& s = w.addFixed();
    const glm::vec3 g = s.grenade->position;
    SceneObject& q = w.addPerson(s, ObjectType::BadPerson, PersonState::Wandering, g + glm::vec3(0.0f, 0.0f, -40.0f), 0.0f);
    SceneObject& sent = w.addPerson(s, ObjectType::GoodPerson, PersonState::Sent, g + glm::vec3(250.0f, 0.0f, 0.0f));
    const auto takesNobody = [&](int workers, GrenadeState grenadeState) {
        s.workerCount = workers;
        s.grenade->grenadeState = grenadeState;
        s.updateBadPeople(dt);
        EXPECT_EQ(q.personState, PersonState::Wandering);
        EXPECT_EQ(sent.personState, PersonState::Sent);
        EXPECT_EQ(s.workerCount, workers);
    };
    takesNobody(1, GrenadeState::Growing);  // counted, but nobody in the list works
    SceneObject& worker = w.addPerson(s, ObjectType::GoodPerson, PersonState::Working, g + glm::vec3(40.0f, 0.0f, 0.0f));
    takesNobody(0, GrenadeState::Growing);  // somebody works, but the count says nobody
    takesNobody(1, GrenadeState::Ready);
    EXPECT_EQ(worker.personState, PersonState::Working);
}

TEST(Strikes, StruckPeopleDieAfterASecondWithRegretOrLaughter) {
    SettlementWorld w;
    Settlement& s = w.addFixed();
    SceneObject& good = w.addPerson(s, ObjectType::GoodPerson, PersonState::Struck, glm::vec3(0.0f, 0.0f, -100.0f));
    w.sound.clear();
    s.updateGoodPeople(0.5f);
    EXPECT_EQ(good.personState, PersonState::Struck);
    s.updateGoodPeople(0.5f);
    EXPECT_EQ(good.personState, PersonState::Gone);
    EXPECT_EQ(s.deadGoodCount, 1);
    EXPECT_TRUE(contains(s.goodPeople, &good));  // removed at its next visit
    s.updateGoodPeople(dt);
    EXPECT_FALSE(contains(s.goodPeople, &good));
    EXPECT_EQ(w.sound.played, std::vector<int>{SoundGodRegret});

    std::set<int> laughs;
    for (unsigned seed = 1; seed <= 40; ++seed) {
        std::srand(seed);
        w.sound.clear();
        SceneObject& bad = w.addPerson(s, ObjectType::BadPerson, PersonState::Struck, glm::vec3(0.0f, 0.0f, -100.0f));
        s.updateBadPeople(0.5f);
        EXPECT_TRUE(w.sound.played.empty());
        s.updateBadPeople(0.5f);
        EXPECT_EQ(bad.personState, PersonState::Gone);
        ASSERT_EQ(w.sound.played.size(), 1u);
        laughs.insert(w.sound.played[0]);
        s.updateBadPeople(dt);
    }
    EXPECT_TRUE(s.badPeople.empty());
    EXPECT_EQ(laughs, (std::set<int>{SoundGodLaugh1, SoundGodLaugh2, SoundGodLaugh3}));
    EXPECT_EQ(s.deadGoodCount, 1);  // bad deaths do not lower the limit
}

TEST(Strikes, AStruckPersonDiesInEveryStatusOfItsSettlementAndMovesWithItMeanwhile) {
    const struct {
        ObjectType kind;
        SettlementStatus status;
        float height;  // of the settlement: a won one rises, a lost one sinks
        std::vector<int> deathSounds;
        int deadGood;
    } cases[] = {
        {ObjectType::GoodPerson, SettlementStatus::Active, 0.0f, {SoundGodRegret}, 1},
        {ObjectType::GoodPerson, SettlementStatus::Warning, 0.0f, {SoundGodRegret}, 1},
        {ObjectType::GoodPerson, SettlementStatus::Won, 42.0f, {SoundGodRegret}, 1},
        {ObjectType::GoodPerson, SettlementStatus::Lost, -42.0f, {SoundGodRegret}, 1},
        {ObjectType::BadPerson, SettlementStatus::Active, 0.0f, {SoundGodLaugh2}, 0},
        {ObjectType::BadPerson, SettlementStatus::Warning, 0.0f, {SoundGodLaugh2}, 0},
        {ObjectType::BadPerson, SettlementStatus::Won, 42.0f, {SoundGodLaugh2}, 0},
        {ObjectType::BadPerson, SettlementStatus::Lost, -42.0f, {SoundGodLaugh2}, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.kind) + " in a settlement " + ::testing::PrintToString(c.status));
        SettlementWorld w;
        Settlement& s = w.addFixed();
        SceneObject& p = w.addPerson(s, c.kind, PersonState::Struck, glm::vec3(0.0f, 0.0f, -100.0f));
        s.status = c.status;
        s.tree->gone = c.status == SettlementStatus::Won;  // the explosion that won it took the tree
        s.position.y = c.height;
        w.sound.clear();
        std::srand(3);  // the laugh drawn: 11 + rand() % 3
        const auto step = [&](float seconds) {
            s.updateGoodPeople(seconds);
            s.updateBadPeople(seconds);
        };
        step(0.5f);
        EXPECT_EQ(p.personState, PersonState::Struck);
        EXPECT_EQ(p.type, c.kind);
        EXPECT_EQ(p.position.y, c.height);
        EXPECT_TRUE(w.sound.played.empty());
        step(0.5f);
        EXPECT_EQ(p.personState, PersonState::Gone);
        EXPECT_EQ(w.sound.played, c.deathSounds);
        EXPECT_EQ(s.deadGoodCount, c.deadGood);
        step(dt);
        EXPECT_FALSE(contains(s.goodPeople, &p));
        EXPECT_FALSE(contains(s.badPeople, &p));
    }
}

TEST(SettlementDriver, RunsOnlyTheFirstUpdateDuringTheIntroAndAlwaysSetsTheMood) {
    SettlementWorld w;
    Settlement& a = w.addFixed();
    Settlement& b = w.addFixed(glm::vec3(1200.0f, 0.0f, 0.0f));
    a.spawnInterval = 1.0f;
    w.game.state = GameState::Intro;
    w.game.updateSettlements(5.0f, false);
    EXPECT_EQ(a.grenadeProgress, 0.0f);
    EXPECT_TRUE(a.goodPeople.empty());
    EXPECT_EQ(a.mood, -1);
    w.addPerson(b, ObjectType::BadPerson, PersonState::Wandering, glm::vec3(1200.0f, 0.0f, -100.0f));
    w.game.updateSettlements(5.0f, false);
    EXPECT_EQ(b.mood, 1);
    w.game.updateSettlements(5.0f, true);
    EXPECT_FLOAT_EQ(a.grenadeProgress, -50.0f);
    EXPECT_EQ(a.goodPeople.size(), 1u);
    EXPECT_EQ(a.mood, -1);
    w.game.state = GameState::Playing;
    a.grenadeProgress = -1259.0f;
    w.game.updateSettlements(0.5f, false);
    EXPECT_EQ(a.status, SettlementStatus::Warning);
    EXPECT_EQ(a.mood, 1);
}

// LongRunTest.cpp -- the whole world without a window, seed after seed, for game hours at 60 steps a second,
// under a player who mostly helps (sends the good to work, smites the bad, throws ready grenades) and now and
// then does anything at all (clicks of any button on any object, the wheel, the cursor, held keys, the panel).
// Settlement 0 gets no help. Every step checks the invariants of the rules. OMNIVEX_SOAK_HOURS (game hours per
// seed) and OMNIVEX_SOAK_SEEDS make it a longer run by hand, e.g.
//   OMNIVEX_SOAK_HOURS=2 OMNIVEX_SOAK_SEEDS=12 ./tests/test_game --gtest_filter=LongRun.*
#include <malloc.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <random>
#include <set>

#include <gtest/gtest.h>

#include "support/GameBuilders.h"

namespace {

using omxtest::code;
using omxtest::finite;

// Records whether the game ever asked for a volume that is not a number in 0..1.
struct VolumeCheckingSound : omxtest::RecordingSound {
    void setVolume(int type, float volume) override {
        badVolume = badVolume || !(volume >= 0.0f && volume <= 1.0f);
        omxtest::RecordingSound::setVolume(type, volume);
    }
    bool badVolume = false;
};

double environmentNumber(const char* name, double fallback) {
    const char* text = std::getenv(name);
    return text ? std::atof(text) : fallback;
}

// Heap in use in megabytes (allocated and not freed; 0 under AddressSanitizer, where LeakSanitizer watches).
double heapInUseMegabytes() { return static_cast<double>(mallinfo2().uordblks) / (1024.0 * 1024.0); }

bool knownState(const SceneObject& o) {
    if (o.type == ObjectType::GoodPerson || o.type == ObjectType::BadPerson)
        return o.stateCode() >= code(PersonState::Wandering) && o.stateCode() <= code(PersonState::Gone);
    static const std::set<int> grenadeStates = {code(GrenadeState::Growing), code(GrenadeState::Gone),
                                                code(GrenadeState::Ready),   code(GrenadeState::Sunk),
                                                code(GrenadeState::Rolling), code(GrenadeState::Exploding)};
    return o.type != ObjectType::HolyGrenade || grenadeStates.count(o.stateCode()) > 0;
}

bool knownGameState(GameState state) {
    return state == GameState::Playing || state == GameState::Won || state == GameState::Lost ||
           state == GameState::Intro;
}

bool ownedByFirstSettlement(const SceneObject* o) { return o && o->owner && o->owner->index == 0; }

const int anyKeys[] = {Key::Left, Key::Right, Key::Up, Key::Down, Key::W, Key::A, Key::S, Key::D,
                       Key::KeypadAdd, Key::KeypadSubtract, Key::Keypad0, Key::Space, Key::LeftControl,
                       Key::C, Key::F1, Key::F};

constexpr float squareHalfWidth = 307.0f;

struct Totals {
    long steps = 0;
    int born = 0, struck = 0, won = 0, lost = 0, deadGood = 0, badAtEnd = 0;
    float longestOutside = 0.0f, farthestOutside = 0.0f;
    double memoryGrowth = 0.0;
};

// The player's next action on the world.
void act(Game& g, omxtest::ScriptedInput& input, std::mt19937& random, long step, long& releaseAt, Totals& totals) {
    const unsigned kind = random() % 8;
    if (kind < 5) {
        // Helping settlements 1 to 4.
        const Settlement& s = *g.settlements[1 + random() % 4];
        SceneObject* o = nullptr;
        int button = MouseButton::Left;
        if (s.grenade->grenadeState == GrenadeState::Ready) {
            o = s.grenade;
        } else if (kind < 3 && !s.badPeople.empty()) {
            o = s.badPeople[random() % s.badPeople.size()];
        } else if (!s.goodPeople.empty()) {
            o = s.goodPeople[random() % s.goodPeople.size()];
            button = kind == 3 ? MouseButton::Right : MouseButton::Left;
        }
        if (!o) return;
        totals.struck +=
            button == MouseButton::Left && o->type != ObjectType::HolyGrenade && o->personState != PersonState::Struck && o->personState != PersonState::Gone;
        g.actOnClick(button, o->id);
        return;
    }
    switch (random() % 5) {
        case 0: {
            const int id = static_cast<int>(random() % static_cast<unsigned>(nextObjectId + 5));
            if (!ownedByFirstSettlement(findObject(id))) g.actOnClick(static_cast<int>(random() % 3), id);
            break;
        }
        case 1: input.wheel += static_cast<int>(random() % 7) - 3; break;
        case 2: input.cursorAt = {static_cast<int>(random() % 1400), static_cast<int>(random() % 900)}; break;
        case 3: if (g.overviewMode) g.toggleOverview(nullptr); break;
        default:
            input.held.insert(anyKeys[random() % (sizeof anyKeys / sizeof anyKeys[0])]);
            releaseAt = step + 1 + static_cast<long>(random() % 120);
            break;
    }
}

// Every rule's bounds after one step.
void checkStep(const Game& g, const VolumeCheckingSound& sound, float dt, std::map<int, float>& outside,
               Totals& totals) {
    ASSERT_TRUE(knownGameState(g.state)) << "game state " << g.state;
    ASSERT_TRUE(finite(g.camera->position));
    ASSERT_TRUE(finite(g.camera->direction));
    ASSERT_TRUE(std::isfinite(g.badFactor)) << g.badFactor;
    ASSERT_TRUE(std::isfinite(g.timeScale)) << g.timeScale;
    ASSERT_FALSE(sound.badVolume);
    for (const Settlement* s : g.settlements) {
        ASSERT_GE(s->workerCount, 0) << "settlement " << s->index;
        ASSERT_GE(s->deadGoodCount, 0) << "settlement " << s->index;
        ASSERT_TRUE(finite(s->position)) << "settlement " << s->index;
        const bool decided = s->status == SettlementStatus::Won || s->status == SettlementStatus::Lost;
        int alive = 0, working = 0;
        for (const auto* list : {&s->goodPeople, &s->badPeople}) {
            for (const SceneObject* p : *list) {
                ASSERT_EQ(p->type, list == &s->goodPeople ? ObjectType::GoodPerson : ObjectType::BadPerson) << "person " << p->id;
                if (p->personState == PersonState::Gone) continue;
                ++alive;
                working += p->personState == PersonState::Working;
                const float out = std::fmax(std::fabs(p->position.x - s->position.x),
                                            std::fabs(p->position.z - s->position.z)) - squareHalfWidth;
                if (decided) {
                    // Everyone stands and rises or sinks; the centre has moved 60 off the wall.
                    ASSERT_LE(out, 60.0f + 20.0f) << "person " << p->id;
                    continue;
                }
                float& time = outside[p->id];
                time = out > 0.0f ? time + dt : 0.0f;
                totals.farthestOutside = std::fmax(totals.farthestOutside, out);
                totals.longestOutside = std::fmax(totals.longestOutside, time);
            }
        }
        ASSERT_LE(alive + s->deadGoodCount, 50) << "settlement " << s->index;
        if (s->grenade->grenadeState == GrenadeState::Growing) {
            ASSERT_EQ(s->workerCount, working) << "workers counted at the growing grenade of settlement " << s->index;
        }
    }
}

void checkRegistry() {
    ASSERT_EQ(static_cast<int>(objectRegistry.size()), nextObjectId) << "ids are not dense";
    int expectedId = 0;
    for (const auto& entry : objectRegistry) {
        const SceneObject& o = *entry.second;
        ASSERT_EQ(entry.first, expectedId++) << "ids are not dense";
        ASSERT_EQ(o.id, entry.first) << "registered under another id";
        ASSERT_TRUE(finite(o.position)) << "object " << o.id;
        ASSERT_TRUE(finite(o.rotation)) << "object " << o.id;
        ASSERT_TRUE(finite(o.scale)) << "object " << o.id;
        ASSERT_TRUE(knownState(o)) << "object " << o.id << " type " << o.type << " state " << o.stateCode();
    }
}

void runWorld(unsigned seed, double hours, Totals& totals) {
    VolumeCheckingSound sound;
    omxtest::ScriptedInput input;
    testing::internal::CaptureStdout();
    Game g(omxtest::windowlessOptions(&sound, seed, &input));
    input.held = {Key::F1};
    g.update(0.1f);
    input.held.clear();
    const int firstPerson = nextObjectId;

    std::mt19937 random(seed * 7919u);
    const float dt = 1.0f / 60.0f;
    const long steps = std::lround(hours * 3600.0 / dt);
    const long settledStep = steps / 4;  // by then the world has grown its people and buffers
    double settledMemory = 0.0;
    long releaseAt = -1;
    std::map<int, float> outside;  // person id -> seconds outside its square without a break
    for (long step = 0; step < steps; ++step) {
        if (step == releaseAt) input.held.clear();
        if (step % 30 == 0) act(g, input, random, step, releaseAt, totals);
        g.update(dt);
        ++totals.steps;
        SCOPED_TRACE("step " + std::to_string(step));
        checkStep(g, sound, dt, outside, totals);
        if (step % 60 == 0) checkRegistry();
        if (testing::Test::HasFatalFailure()) break;
        if (step == settledStep) settledMemory = heapInUseMegabytes();
    }
    testing::internal::GetCapturedStdout();
    if (settledMemory > 0.0) totals.memoryGrowth = std::max(totals.memoryGrowth, heapInUseMegabytes() - settledMemory);
    totals.born += nextObjectId - firstPerson;
    for (const Settlement* s : g.settlements) {
        totals.won += s->status == SettlementStatus::Won;
        totals.lost += s->status == SettlementStatus::Lost;
        totals.deadGood += s->deadGoodCount;
        totals.badAtEnd += static_cast<int>(s->badPeople.size());
    }
    // Left alone, settlement 0 can only be lost.
    EXPECT_NE(g.settlements[0]->status, SettlementStatus::Won);
}

}  // namespace

TEST(LongRun, HoursOfPlayKeepEveryRuleInItsBounds) {
    const double hours = environmentNumber("OMNIVEX_SOAK_HOURS", 0.5);
    const int seeds = static_cast<int>(environmentNumber("OMNIVEX_SOAK_SEEDS", 4));
    Totals totals;
    for (int seed = 1; seed <= seeds; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        runWorld(static_cast<unsigned>(seed), hours, totals);
        if (HasFatalFailure()) return;
    }
    std::printf("long run: %d seeds, %.2f game hours, %ld steps; %d born, %d struck, %d won, %d lost, %d good dead, "
                "%d bad at the end; longest outside %.2f s, farthest %.1f; heap growth %.1f MB\n",
                seeds, hours * seeds, totals.steps, totals.born, totals.struck, totals.won, totals.lost,
                totals.deadGood, totals.badAtEnd, totals.longestOutside, totals.farthestOutside, totals.memoryGrowth);
    // Nobody strays far or for long outside its settlement's square.
    EXPECT_LT(totals.longestOutside, 3.0f);
    EXPECT_LT(totals.farthestOutside, 20.0f);
    // The heap does not keep growing once the world has settled.
    EXPECT_LT(totals.memoryGrowth, 64.0);
    // The run went through the rules it is meant to stress.
    const double perSeed = hours * 3600.0;
    EXPECT_GT(totals.born, static_cast<int>(perSeed / 20.0) * seeds);
    EXPECT_GT(totals.struck, static_cast<int>(perSeed / 40.0) * seeds);
    EXPECT_GT(totals.won + totals.lost, 0);
    EXPECT_GT(totals.deadGood, 0);
    EXPECT_GT(totals.badAtEnd, 0);
}

// LongSoakTest.cpp -- the whole world without a window, seed after seed, under every kind of player action
// (clicks of both buttons on any object, panels, held keys, the wheel, the cursor), with invariants checked
// every step. Short in the suite; OMNIVEX_SOAK_HOURS (game hours per seed) and OMNIVEX_SOAK_SEEDS make it a
// long run by hand, e.g. OMNIVEX_SOAK_HOURS=1 OMNIVEX_SOAK_SEEDS=12 ./tests/test_hardening --gtest_filter=LongSoak*
#include <gtest/gtest.h>

#include <malloc.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>

#include "game/WorldFixture.h"

namespace {

class VolumeCheckingSound : public omxtest::RecordingSound {
public:
    void setVolume(int type, float volume) override {
        if (!std::isfinite(volume) || volume < 0.0f || volume > 1.0f) badVolume = true;
        omxtest::RecordingSound::setVolume(type, volume);
    }
    bool badVolume = false;
};

bool finite(const glm::vec3& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

double environmentNumber(const char* name, double fallback) {
    const char* text = std::getenv(name);
    return text ? std::atof(text) : fallback;
}

// Heap memory in use by this process in megabytes (what is allocated and not freed, not what the allocator
// keeps in reserve).
double heapInUseMegabytes() { return static_cast<double>(mallinfo2().uordblks) / (1024.0 * 1024.0); }

bool knownState(const SceneObject& o) {
    if (o.type == GoodPerson || o.type == BadPerson) return o.state >= Wandering && o.state <= Gone;
    if (o.type == HolyGrenade)
        return o.state == Growing || o.state == GrenadeGone || o.state == Ready || o.state == Sunk ||
               o.state == Rolling || o.state == Exploding;
    return true;
}

const int actionKeys[] = {Key::Left, Key::Right, Key::Up, Key::Down, Key::W, Key::A, Key::S, Key::D,
                          Key::KeypadAdd, Key::KeypadSubtract, Key::Keypad0, Key::Space, Key::LeftControl,
                          Key::C, Key::F1, Key::F};

struct SoakCounts {
    long steps = 0;
    long checks = 0;
    long actions = 0;
    long objectsGrown = 0;  // most objects added to one world after it settled (people are born all along)
};

// One seeded world for `hours` of game time at 60 steps a second; failures name the seed and the step.
void soakOneWorld(unsigned seed, double hours, SoakCounts& counts, double& memoryGrowth) {
    VolumeCheckingSound sound;
    omxtest::ScriptedInput input;
    testing::internal::CaptureStdout();
    Game g(omxtest::windowlessOptions(&sound, seed, &input));
    std::mt19937 random(seed * 7919u);
    const float dt = 1.0f / 60.0f;
    const long steps = std::lround(hours * 3600.0 / dt);
    double settledMemory = 0.0;
    long settledObjects = 0;
    const long settledStep = steps / 4;  // by then the world has grown its people and buffers
    int releaseAt = -1;
    for (long step = 0; step < steps; ++step) {
        if (step == releaseAt) input.held.clear();
        if (step % 45 == 0) {
            ++counts.actions;
            switch (random() % 6) {
                case 0:
                case 1: g.actOnClick(static_cast<int>(random() % 3), static_cast<int>(random() % (nextObjectId + 5))); break;
                case 2: input.wheel += static_cast<int>(random() % 7) - 3; break;
                case 3: input.cursorAt = {static_cast<int>(random() % 1400), static_cast<int>(random() % 900)}; break;
                case 4: if (g.overviewMode) g.toggleOverview(nullptr); break;
                default:
                    input.held.insert(actionKeys[random() % (sizeof actionKeys / sizeof actionKeys[0])]);
                    releaseAt = static_cast<int>(step + 1 + random() % 120);
                    break;
            }
        }
        g.update(dt);
        ++counts.steps;

        ++counts.checks;
        ASSERT_TRUE(g.state == Playing || g.state == Won || g.state == Lost || g.state == Intro) << "step " << step;
        ASSERT_TRUE(finite(g.camera->position) && finite(g.camera->direction)) << "step " << step;
        ASSERT_TRUE(std::isfinite(g.badFactor) && std::isfinite(g.timeScale)) << "step " << step;
        ASSERT_FALSE(sound.badVolume) << "step " << step;
        for (const Settlement* s : g.settlements) {
            int alive = 0;
            for (const auto* list : {&s->goodPeople, &s->badPeople})
                for (const SceneObject* p : *list) alive += p->state != Gone;
            ASSERT_GE(s->workerCount, 0) << "step " << step;
            ASSERT_GE(s->deadGoodCount, 0) << "step " << step;
            ASSERT_LE(alive + s->deadGoodCount, 50) << "settlement " << s->index << " step " << step;
        }
        if (step % 60 == 0) {
            ASSERT_EQ(static_cast<int>(objectRegistry.size()), nextObjectId) << "ids are not dense, step " << step;
            int expectedId = 0;
            for (const auto& entry : objectRegistry) {
                const SceneObject& o = *entry.second;
                ASSERT_EQ(entry.first, expectedId++);
                ASSERT_EQ(o.id, entry.first);
                ASSERT_TRUE(finite(o.position) && finite(o.rotation) && finite(o.scale))
                    << "object " << o.id << " type " << o.type << " step " << step;
                ASSERT_TRUE(knownState(o)) << "object " << o.id << " type " << o.type << " state " << o.state;
            }
        }
        if (step == settledStep) {
            settledMemory = heapInUseMegabytes();
            settledObjects = static_cast<long>(objectRegistry.size());
        }
    }
    if (settledMemory > 0.0) memoryGrowth = std::max(memoryGrowth, heapInUseMegabytes() - settledMemory);
    counts.objectsGrown = std::max(counts.objectsGrown, static_cast<long>(objectRegistry.size()) - settledObjects);
    testing::internal::GetCapturedStdout();
}

TEST(LongSoak, EveryPlayerActionOnManySeedsKeepsTheWorldSane) {
    const double hours = environmentNumber("OMNIVEX_SOAK_HOURS", 0.05);
    const int seeds = static_cast<int>(environmentNumber("OMNIVEX_SOAK_SEEDS", 2));
    SoakCounts counts;
    double memoryGrowth = 0.0;
    for (int seed = 1; seed <= seeds; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        soakOneWorld(static_cast<unsigned>(seed), hours, counts, memoryGrowth);
        if (HasFatalFailure()) return;
    }
    std::printf("soak: %d seeds, %.2f game hours, %ld steps, %ld invariant checks, %ld actions, largest heap growth "
                "over the last three quarters of a world %.1f MB (%ld objects added)\n",
                seeds, hours * seeds, counts.steps, counts.checks, counts.actions, memoryGrowth, counts.objectsGrown);
    // Memory stays bounded: the heap does not keep growing once the world has settled. (Under AddressSanitizer
    // the heap figures read 0; LeakSanitizer watches there.)
    EXPECT_LT(memoryGrowth, 64.0);
}

}  // namespace

// PeopleLongRunTest.cpp -- hours of five settlements with a clicking player: the people rules keep their bounds.
#include <cmath>
#include <cstdio>
#include <random>
#include <unordered_map>

#include <gtest/gtest.h>

#include "SettlementFixture.h"

using omxtest::SettlementWorld;

namespace {

bool finite(const glm::vec3& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

// What the player's clicks do to people and grenades (the click handling itself is tested elsewhere).
struct Player {
    std::mt19937 pick;

    template <typename T>
    T* choose(const std::vector<T*>& list) {
        if (list.empty()) return nullptr;
        return list[std::uniform_int_distribution<size_t>(0, list.size() - 1)(pick)];
    }

    void act(Settlement& s) {
        const int action = std::uniform_int_distribution<int>(0, 9)(pick);
        if (action == 0) {  // left click on someone
            SceneObject* p = choose(pick() % 2 ? s.goodPeople : s.badPeople);
            if (!p || p->state == Struck || p->state == Gone) return;
            if (p->state == Working) s.workerCount -= 1;
            p->state = Struck;
        } else if (action <= 3) {  // right click on someone wandering
            SceneObject* p = choose(s.goodPeople);
            if (!p || p->state != Wandering) return;
            p->state = Sent;
            p->faceTowards(glm::vec3(s.grenade->position.x - p->position.x, 0.0f - p->position.y,
                                     s.grenade->position.z - p->position.z));
        } else if (action == 4 && s.grenade->state == Ready) {  // throw
            s.grenade->state = Rolling;
        }
    }
};

struct RunTotals {
    int won = 0;
    int lost = 0;
    int badAtEnd = 0;
    int deadGood = 0;
    float longestOutside = 0.0f;
    float farthestOutside = 0.0f;
};

void runSeed(unsigned seed, float seconds, RunTotals& totals) {
    SettlementWorld w(seed);
    const glm::vec3 centres[5] = {{0.0f, 0.0f, 0.0f},
                                  {1300.0f, 0.0f, 0.0f},
                                  {-1300.0f, 0.0f, 200.0f},
                                  {100.0f, 0.0f, 1300.0f},
                                  {-200.0f, 0.0f, -1300.0f}};
    for (const glm::vec3& c : centres) w.add(c);
    w.game.camera->position = glm::vec3(0.0f, 400.0f, 0.0f);
    Player player{std::mt19937(seed)};
    std::unordered_map<const SceneObject*, float> outsideFor;

    const float dt = 1.0f / 60.0f;
    const int steps = static_cast<int>(seconds / dt);
    for (int step = 0; step < steps; ++step) {
        // Settlement 0 gets no help; the others get a click every half second.
        if (step % 30 == 0) {
            for (int i = 1; i < 5; ++i) player.act(*w.owned[static_cast<size_t>(i)]);
        }
        w.game.updateSettlements(dt, false);
        if (step % 6 != 0) continue;

        const float sampled = 6.0f * dt;
        for (const auto& owned : w.owned) {
            const Settlement& s = *owned;
            ASSERT_GE(s.workerCount, 0) << "seed " << seed << " step " << step;
            ASSERT_GE(s.deadGoodCount, 0);
            int live = 0;
            int working = 0;
            for (const auto* list : {&s.goodPeople, &s.badPeople}) {
                for (const SceneObject* p : *list) {
                    ASSERT_TRUE(finite(p->position) && finite(p->rotation)) << "seed " << seed << " person " << p->id;
                    ASSERT_EQ(p->type, list == &s.goodPeople ? GoodPerson : BadPerson);
                    if (p->state == Gone) continue;
                    ++live;
                    if (p->state == Working) ++working;
                    if (s.status == SettlementWon || s.status == SettlementLost) continue;
                    const float out = std::fmax(std::fabs(p->position.x - s.position.x),
                                                std::fabs(p->position.z - s.position.z)) - 307.0f;
                    float& time = outsideFor[p];
                    time = out > 0.0f ? time + sampled : 0.0f;
                    totals.longestOutside = std::fmax(totals.longestOutside, time);
                    totals.farthestOutside = std::fmax(totals.farthestOutside, out);
                }
            }
            ASSERT_LE(live + s.deadGoodCount, 50) << "seed " << seed;
            if (s.grenade->state == Growing) {
                ASSERT_EQ(s.workerCount, working) << "seed " << seed << " step " << step;
            }
            for (const SceneObject* o : {s.tree, s.moai, s.grenade, s.grenadeIndicator, s.wall, s.monument})
                ASSERT_TRUE(finite(o->position) && finite(o->rotation) && finite(o->scale));
            ASSERT_TRUE(finite(s.position));
        }
    }
    for (const auto& owned : w.owned) {
        totals.won += owned->status == SettlementWon;
        totals.lost += owned->status == SettlementLost;
        totals.deadGood += owned->deadGoodCount;
        totals.badAtEnd += static_cast<int>(owned->badPeople.size());
    }
    // Left alone, settlement 0 can only be lost.
    EXPECT_NE(w.owned[0]->status, SettlementWon);
}

}  // namespace

TEST(PeopleLongRun, HoursOfPlayKeepPeopleInTheirSquareAndCountsInBounds) {
    RunTotals totals;
    // Six seeds of half an hour each: three hours of game time at 60 updates per second.
    for (unsigned seed : {3u, 17u, 99u, 512u, 2024u, 31337u}) {
        runSeed(seed, 1800.0f, totals);
        if (HasFatalFailure()) return;
    }
    // Nobody strays far or for long outside its settlement's square.
    EXPECT_LT(totals.longestOutside, 3.0f);
    EXPECT_LT(totals.farthestOutside, 12.0f);
    // The run went through the rules it is meant to stress.
    EXPECT_GT(totals.won + totals.lost, 0);
    EXPECT_GT(totals.deadGood, 0);
    EXPECT_GT(totals.badAtEnd, 0);
    std::printf("won %d lost %d dead good %d bad at the end %d, longest outside %.2f s, farthest %.2f\n", totals.won,
                totals.lost, totals.deadGood, totals.badAtEnd, totals.longestOutside, totals.farthestOutside);
}

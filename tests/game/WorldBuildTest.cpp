// WorldBuildTest.cpp -- the built world: object numbers, tiles, borders, settlement placement, music; the object
// registry and an object's placement.
#include <cmath>
#include <numeric>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "game/WorldConstants.h"
#include "support/GameBuilders.h"

using omxtest::code;
using omxtest::World;
using ::testing::AnyOf;
using ::testing::Eq;

TEST(WorldBuild, NumbersAndPlacesObjectsInConstructionOrder) {
    World w;
    Game& g = *w.game;
    EXPECT_EQ(g.state, GameState::Intro);
    std::vector<int> ids = {g.camera->id, g.light->id, g.strike->id, g.skybox->id};
    for (const SceneObject* tile : g.groundTiles) ids.push_back(tile->id);
    for (const SceneObject* border : g.borders) ids.push_back(border->id);
    ids.push_back(g.infoPanel->id);
    for (const Settlement* s : g.settlements)
        for (const SceneObject* o : {s->tree, s->moai, s->grenade, s->grenadeBorder, s->grenadeIndicator, s->wall,
                                     s->monument})
            ids.push_back(o->id);
    for (int id = 0; id < 144; ++id) EXPECT_NE(findObject(id), nullptr) << id;
    std::vector<int> inOrder(144);
    std::iota(inOrder.begin(), inOrder.end(), 0);
    EXPECT_EQ(ids, inOrder);
    EXPECT_EQ(nextObjectId, 144);

    EXPECT_EQ(g.camera->position, glm::vec3(0.0f, cameraStartDistance, cameraStartDistance));
    EXPECT_NEAR(glm::length(g.camera->direction - glm::vec3(0.0f, -0.70710677f, -0.70710677f)), 0.0f, 1e-6f);
    // A 10 x 10 grid of tiles over the whole world, in rows of z.
    for (const auto& [k, at] : std::vector<std::pair<size_t, glm::vec3>>{{0, {-5200, 0, -5200}},
                                                                        {1, {-5200, 0, -4160}},
                                                                        {10, {-4160, 0, -5200}},
                                                                        {99, {4160, 0, 4160}}})
        EXPECT_EQ(g.groundTiles[k]->position, at) << "tile " << k;
    // The four borders face the centre from all sides.
    const float d = 3868.2099f;
    const glm::vec3 expected[4] = {{0, 0, -d}, {-d, 0, 0}, {0, 0, d}, {d, 0, 0}};
    for (size_t k = 0; k < 4; ++k) {
        EXPECT_NEAR(glm::length(g.borders[k]->position - expected[k]), 0.0f, 0.01f) << k;
        EXPECT_EQ(g.borders[k]->rotation.y, 90.0f * static_cast<float>(k));
    }
    // The first person born gets the next number.
    w.startPlaying();
    w.run(3.0f, 1.0f / 60.0f);
    SceneObject* firstBorn = findObject(144);
    ASSERT_NE(firstBorn, nullptr) << "no person born in 3 s; settlement 0 spawn interval "
                                  << g.settlements[0]->spawnInterval << " s (births come every 1 to 2 s)";
    EXPECT_THAT(firstBorn->type, AnyOf(Eq(ObjectType::GoodPerson), Eq(ObjectType::BadPerson)));
}

TEST(WorldBuild, StartsTheMusic) {
    World w;
    // The looping crafting sound plays from the start; the update drives its volume.
    ASSERT_GE(w.sound.played.size(), 2u);
    EXPECT_EQ(std::vector<int>(w.sound.played.end() - 2, w.sound.played.end()),
              (std::vector<int>{MusicGood, SoundHolyGrenadeCrafting}));
    EXPECT_EQ(w.game->sound, &w.sound);
}

TEST(WorldBuild, PrintsFiveSettlementLinesAndTheSeedDecidesThem) {
    World w(42);
    const std::vector<std::string> lines = omxtest::linesOf(w.buildOutput);
    ASSERT_EQ(lines.size(), 5u) << w.buildOutput;
    EXPECT_EQ(lines[0], "0 0 0 ");
    for (size_t n = 0; n < 5; ++n) {
        const std::vector<float> xyz = omxtest::numbersOf(lines[n]);
        ASSERT_EQ(xyz.size(), 3u);
        EXPECT_EQ(lines[n].back(), ' ');
        EXPECT_NEAR(glm::length(glm::vec3(xyz[0], xyz[1], xyz[2]) - w.game->settlements[n]->position), 0.0f, 0.7f);
    }
    EXPECT_EQ(World(42).buildOutput, w.buildOutput);
    EXPECT_NE(World(43).buildOutput, w.buildOutput);
}

TEST(WorldBuild, SettlementsKeepTheirDistancesOverManySeeds) {
    for (unsigned seed = 1; seed <= 120; ++seed) {
        World w(seed);
        const auto& s = w.game->settlements;
        EXPECT_EQ(s[0]->position, glm::vec3(0.0f));
        for (size_t n = 1; n < 5; ++n) {
            const glm::vec3 p = s[n]->position;
            EXPECT_EQ(p.y, 0.0f) << "seed " << seed << " settlement " << n;
            EXPECT_LE(std::fabs(p.x), 1920.0f) << "seed " << seed << " settlement " << n;
            EXPECT_LE(std::fabs(p.z), 1920.0f) << "seed " << seed << " settlement " << n;
            bool hasNeighbour = false;
            for (size_t m = 0; m < n; ++m) {
                const float distance = glm::length(p - s[m]->position);
                EXPECT_GE(distance, 960.0000610351562) << "seed " << seed << " settlements " << m << " " << n;
                hasNeighbour = hasNeighbour || distance < 1600.0f;
            }
            EXPECT_TRUE(hasNeighbour) << "seed " << seed << " settlement " << n;
        }
    }
}

TEST(SceneObject, LeavesTheRegistryWhenGone) {
    resetObjectRegistry();
    {
        SceneObject temporary;
        EXPECT_EQ(findObject(0), &temporary);
    }
    EXPECT_EQ(findObject(0), nullptr);
    EXPECT_EQ(findObject(-1), nullptr);
    SceneObject o;
    EXPECT_EQ(o.id, 1);  // numbers are never reused
}

TEST(SceneObject, ScalesTurnsThenMovesAndKeepsItsTurnWithoutAGoal) {
    SceneObject o;
    o.rotation = glm::vec3(90, 0, 0);  // x turns about the z axis
    EXPECT_NEAR(glm::length(glm::vec3(o.modelMatrix() * glm::vec4(1, 0, 0, 1)) - glm::vec3(0, 1, 0)), 0.0f, 1e-6f);
    o.rotation = glm::vec3(0);
    o.scale = glm::vec3(2);
    o.position = glm::vec3(10, 0, 0);
    EXPECT_EQ(glm::vec3(o.modelMatrix() * glm::vec4(1, 0, 0, 1)), glm::vec3(12, 0, 0));
    o.identityTransform = true;
    EXPECT_EQ(o.modelMatrix(), glm::mat4(1.0f));
    for (const glm::vec3& v : {glm::vec3(1, 0, 0), glm::vec3(0, 0, -3), glm::vec3(-2, 0, 0.5f)}) {
        o.faceTowards(v);
        EXPECT_NEAR(glm::dot(o.heading(), glm::normalize(v)), 1.0f, 1e-5f);
    }
    // A person standing exactly on its goal (or given no number) keeps its rotation.
    o.rotation.y = 123.0f;
    o.faceTowards(glm::vec3(0.0f));
    o.faceTowards(glm::vec3(NAN, 0, 1));
    EXPECT_EQ(o.rotation.y, 123.0f);
}


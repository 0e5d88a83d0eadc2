// WorldBuildTest.cpp -- the built world: object numbers, tiles, borders, settlement placement, models, music.
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>

#include <gtest/gtest.h>

#include "support/GameBuilders.h"
#include "assets/Model.h"
#include "assets/ShaderProgram.h"
#include "game/WorldConstants.h"
#include "support/GlContext.h"

using omxtest::World;

TEST(WorldBuild, NumbersObjectsInConstructionOrder) {
    World w;
    Game& g = *w.game;
    EXPECT_TRUE(g.worldComplete);
    EXPECT_EQ(g.camera->id, 0);
    EXPECT_EQ(g.light->id, 1);
    EXPECT_EQ(g.strike->id, 2);
    EXPECT_EQ(g.skybox->id, 3);
    for (int k = 0; k < 100; ++k) EXPECT_EQ(g.groundTiles[static_cast<size_t>(k)]->id, 4 + k);
    for (int k = 0; k < 4; ++k) EXPECT_EQ(g.borders[static_cast<size_t>(k)]->id, 104 + k);
    EXPECT_EQ(g.infoPanel->id, 108);
    for (int n = 0; n < 5; ++n) {
        const Settlement& s = *g.settlements[static_cast<size_t>(n)];
        EXPECT_EQ(s.index, n);
        const SceneObject* order[] = {s.tree, s.moai, s.grenade, s.grenadeBorder, s.grenadeIndicator, s.wall, s.monument};
        for (int i = 0; i < 7; ++i) EXPECT_EQ(order[i]->id, 109 + 7 * n + i) << "settlement " << n << " object " << i;
    }
    EXPECT_EQ(nextObjectId, 144);
    for (int id = 0; id < 144; ++id) EXPECT_NE(findObject(id), nullptr) << id;

    // The first person born gets the next number.
    w.startPlaying();
    w.run(3.0f, 1.0f / 60.0f);
    SceneObject* firstBorn = findObject(144);
    ASSERT_NE(firstBorn, nullptr) << "no person born in 3 s; settlement 0 spawn interval "
                                  << g.settlements[0]->spawnInterval << " s (births come every 1 to 2 s)";
    EXPECT_TRUE(firstBorn->type == GoodPerson || firstBorn->type == BadPerson);
}

TEST(WorldBuild, PlacesCameraTilesBordersAndHiddenObjects) {
    World w;
    Game& g = *w.game;
    EXPECT_EQ(g.camera->position, glm::vec3(0.0f, cameraStartDistance, cameraStartDistance));
    EXPECT_NEAR(g.camera->direction.y, -0.70710677f, 1e-7f);
    EXPECT_NEAR(g.camera->direction.z, -0.70710677f, 1e-7f);
    EXPECT_EQ(g.camera->direction.x, 0.0f);
    EXPECT_TRUE(g.camera->keyboardControl);
    EXPECT_EQ(g.state, Intro);

    EXPECT_EQ(g.light->type, Prop);
    EXPECT_EQ(g.light->position, glm::vec3(0.0f));
    EXPECT_FALSE(g.strike->visible);
    EXPECT_TRUE(g.strike->identityTransform);
    EXPECT_FALSE(g.infoPanel->visible);
    EXPECT_TRUE(g.skybox->visible);

    EXPECT_EQ(g.groundTiles[0]->position, glm::vec3(-5200.0f, 0.0f, -5200.0f));
    EXPECT_EQ(g.groundTiles[1]->position, glm::vec3(-5200.0f, 0.0f, -4160.0f));
    EXPECT_EQ(g.groundTiles[10]->position, glm::vec3(-4160.0f, 0.0f, -5200.0f));
    EXPECT_EQ(g.groundTiles[99]->position, glm::vec3(4160.0f, 0.0f, 4160.0f));
    for (const SceneObject* tile : g.groundTiles) {
        EXPECT_EQ(tile->type, GroundTile);
        EXPECT_EQ(tile->boundingRadius, 1000);
        EXPECT_EQ(tile->scale, glm::vec3(520.0f));
        EXPECT_EQ(tile->owner, nullptr);
    }

    const float d = 3868.2099f;
    const glm::vec3 expected[4] = {{0, 0, -d}, {-d, 0, 0}, {0, 0, d}, {d, 0, 0}};
    for (int k = 0; k < 4; ++k) {
        const SceneObject& border = *g.borders[static_cast<size_t>(k)];
        EXPECT_NEAR(border.position.x, expected[k].x, 0.01f) << k;
        EXPECT_NEAR(border.position.z, expected[k].z, 0.01f) << k;
        EXPECT_EQ(border.rotation.y, 90.0f * static_cast<float>(k));
        EXPECT_EQ(border.scale, glm::vec3(552.61f, 245.0f, 552.61f));
        EXPECT_EQ(border.type, Prop);
    }
}

TEST(WorldBuild, PrintsFiveSettlementLinesMatchingThePositions) {
    World w(7);
    const std::vector<std::string> lines = omxtest::linesOf(w.buildOutput);
    ASSERT_EQ(lines.size(), 5u) << w.buildOutput;
    EXPECT_EQ(lines[0], "0 0 0 ");
    for (int n = 0; n < 5; ++n) {
        const std::vector<float> xyz = omxtest::numbersOf(lines[static_cast<size_t>(n)]);
        ASSERT_EQ(xyz.size(), 3u);
        EXPECT_EQ(lines[static_cast<size_t>(n)].back(), ' ');
        const glm::vec3& p = w.game->settlements[static_cast<size_t>(n)]->position;
        EXPECT_NEAR(xyz[0], p.x, 0.5f);
        EXPECT_EQ(xyz[1], 0.0f);
        EXPECT_NEAR(xyz[2], p.z, 0.5f);
    }
}

TEST(WorldBuild, SettlementsKeepTheirDistancesOverManySeeds) {
    for (unsigned seed = 1; seed <= 120; ++seed) {
        World w(seed);
        const auto& s = w.game->settlements;
        EXPECT_EQ(s[0]->position, glm::vec3(0.0f));
        for (int n = 1; n < 5; ++n) {
            const glm::vec3 p = s[static_cast<size_t>(n)]->position;
            EXPECT_EQ(p.y, 0.0f);
            EXPECT_LE(std::fabs(p.x), 1920.0f);
            EXPECT_LE(std::fabs(p.z), 1920.0f);
            bool hasNeighbour = false;
            for (int m = 0; m < n; ++m) {
                const float distance = glm::length(p - s[static_cast<size_t>(m)]->position);
                EXPECT_GE(distance, 960.0000610351562) << "seed " << seed << " settlements " << m << " " << n;
                if (distance < 1600.0f) hasNeighbour = true;
            }
            EXPECT_TRUE(hasNeighbour) << "seed " << seed << " settlement " << n;
        }
    }
}

TEST(WorldBuild, FixedSeedReproducesTheLayout) {
    World a(42);
    const std::string first = a.buildOutput;
    World b(42);
    EXPECT_EQ(b.buildOutput, first);
    World c(43);
    EXPECT_NE(c.buildOutput, first);
}

TEST(WorldBuild, CreatesThirteenModelsWithTheirMaterialsAndStartsTheMusic) {
    World w;
    Game& g = *w.game;
    const Model* order[13] = {g.treeModel,       g.groundModel,    g.groundBorderModel, g.infoPanelModel, g.moaiModel,
                              g.goodPersonModel, g.badPersonModel, g.lightMarkerModel,  g.skyboxModel,    g.lightningModel,
                              g.grenadeModel,    g.grenadeBorderModel, g.wallModel};
    ASSERT_GE(allModels.size(), 13u);
    const size_t first = allModels.size() - 13;
    for (size_t i = 0; i < 13; ++i) EXPECT_EQ(allModels[first + i], order[i]) << i;

    EXPECT_FLOAT_EQ(g.treeModel->materialFactor, 0.3f);
    EXPECT_EQ(g.treeModel->useTexture, 2);
    EXPECT_FLOAT_EQ(g.moaiModel->materialFactor, 0.7f);
    EXPECT_FLOAT_EQ(g.goodPersonModel->materialFactor, 0.2f);
    EXPECT_FLOAT_EQ(g.badPersonModel->materialFactor, 0.2f);
    EXPECT_FLOAT_EQ(g.grenadeModel->materialFactor, 0.8f);
    EXPECT_FLOAT_EQ(g.wallModel->materialFactor, 0.0f);
    EXPECT_EQ(g.infoPanelModel->useLight, 0);
    EXPECT_EQ(g.skyboxModel->useLight, 0);
    EXPECT_EQ(g.skyboxModel->useTexture, 0);
    EXPECT_EQ(g.lightningModel->useLight, 0);
    EXPECT_EQ(g.lightningModel->useTexture, 3);
    EXPECT_EQ(g.lightMarkerModel->useLight, 0);
    EXPECT_EQ(g.lightMarkerModel->useTexture, 0);
    EXPECT_EQ(g.lightMarkerModel->diffuseColor, (std::array<float, 4>{{1.0f, 1.0f, 0.0f, 1.0f}}));
    EXPECT_EQ(g.grenadeBorderModel->useTexture, 0);
    EXPECT_EQ(g.grenadeBorderModel->diffuseColor, (std::array<float, 4>{{0.7f, 0.5f, 0.3f, 1.0f}}));
    EXPECT_EQ(g.groundModel->useLight, 1);

    // The good music first, then the looping crafting sound whose volume the update drives.
    ASSERT_GE(w.sound.played.size(), 2u);
    EXPECT_EQ(w.sound.played[w.sound.played.size() - 2], MusicGood);
    EXPECT_EQ(w.sound.played.back(), SoundHolyGrenadeCrafting);
    EXPECT_EQ(g.sound, &w.sound);
}

TEST(WorldBuild, UnusableShaderProgramStopsConstructionWithOneLine) {
    // From a folder without shader files no program can be built (no GL is reached before that).
    const std::filesystem::path previous = std::filesystem::current_path();
    const std::filesystem::path empty = std::filesystem::temp_directory_path() / "omnivex-no-shaders";
    std::filesystem::create_directories(empty);
    std::filesystem::current_path(empty);
    omxtest::RecordingSound sound;
    omxtest::ScriptedInput input;
    GameOptions options = omxtest::windowlessOptions(&sound, 3, &input);
    options.graphics = true;
    testing::internal::CaptureStderr();
    testing::internal::CaptureStdout();
    Game g(options);
    const std::string out = testing::internal::GetCapturedStdout();
    const std::string err = testing::internal::GetCapturedStderr();
    std::filesystem::current_path(previous);

    EXPECT_FALSE(g.worldComplete);
    EXPECT_NE(err.find("Could not compile shader program.\n"), std::string::npos) << err;
    EXPECT_EQ(g.settlements[0], nullptr);
    EXPECT_EQ(g.treeModel, nullptr);
    EXPECT_TRUE(sound.played.empty());
    EXPECT_EQ(out.find("0 0 0 "), std::string::npos);
}

TEST(WorldBuildGl, LoadsProgramsModelsAndTexturesOnARealContext) {
    ASSERT_TRUE(omxtest::ensureGlContext()) << omxtest::glContextFailure();
    omxtest::RecordingSound sound;
    omxtest::ScriptedInput input;
    GameOptions options = omxtest::windowlessOptions(&sound, 5, &input);
    options.graphics = true;
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    Game g(options);
    const std::string out = testing::internal::GetCapturedStdout();
    const std::string err = testing::internal::GetCapturedStderr();
    ASSERT_TRUE(g.worldComplete) << err;
    EXPECT_NE(g.phongShader->program, 0u);
    EXPECT_NE(g.skyboxShader->program, 0u);
    EXPECT_NE(g.idShader->program, 0u);
    EXPECT_NE(g.skyboxModel->vao, 0u);
    EXPECT_NE(g.groundModel->vao, 0u);
    EXPECT_NE(g.lightMarkerModel->vao, 0u);
    EXPECT_GT(g.treeModel->meshCount, 0) << err;
    EXPECT_EQ(g.treeModel->textureCount, 3);
    EXPECT_EQ(g.lightningModel->textureCount, 6);
    EXPECT_EQ(g.infoPanelModel->textureCount, 3);
    EXPECT_EQ(g.wallModel->textureCount, 2);
    EXPECT_EQ(g.skyboxModel->textures.size(), 1u);
    EXPECT_EQ(g.skyboxModel->textureCount, 0);
    EXPECT_NE(g.skyboxModel->textures[0], 0u);

    // A strike is uploaded on the first update after a click, then refilled.
    g.state = Playing;
    g.onMouseButton(0);
    EXPECT_TRUE(g.strike->visible);
    g.updateStrike(0.1f);
    EXPECT_TRUE(g.lightningBufferCreated);
    EXPECT_NE(g.lightningModel->vao, 0u);
}

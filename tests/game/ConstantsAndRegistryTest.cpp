// ConstantsAndRegistryTest.cpp -- the world's derived sizes, the sky-box table and object numbering.
#include <gtest/gtest.h>

#include <cmath>

#include "game/SceneObject.h"
#include "game/WorldConstants.h"

namespace {

TEST(WorldConstants, AssetFoldersAreRelativeToTheWorkingDirectory) {
    EXPECT_EQ(basePath, "");
    EXPECT_EQ(texturePath, "resources/textures/");
    EXPECT_EQ(modelPath, "resources/models/");
    EXPECT_EQ(soundPath, "resources/sounds/");
    EXPECT_EQ(shaderPath, "shaders/");
}

TEST(WorldConstants, SizesDerivedFromTheWorldSize) {
    EXPECT_EQ(worldSize, 10400);
    EXPECT_EQ(worldSizeX, 10400);
    EXPECT_EQ(worldSizeZ, 10400);
    EXPECT_EQ(settlementSpread, 9600);
    EXPECT_EQ(cameraStartDistance, static_cast<float>(10400 / 3.0));
    EXPECT_NEAR(cameraStartDistance, 3466.6667f, 1e-3f);
    EXPECT_NEAR(borderDistance, 3868.21f, 1e-2f);
    EXPECT_NEAR(farDistance, 14707.821f, 1e-2f);
    EXPECT_EQ(dayLightHeight, 2600.0f);
    EXPECT_EQ(introLightHeight, 1733);
    EXPECT_EQ(borderHeightDivisor, 5200);
    // The ground grid: integer centres and scale.
    EXPECT_EQ((worldSizeX * -5) / 10, -5200);
    EXPECT_EQ((worldSizeX * 4) / 10, 4160);
    EXPECT_EQ((worldSizeX / 2) / 10, 520);
}

TEST(WorldConstants, SkyboxTableStartsAndEndsAsTheCubeDemands) {
    ASSERT_EQ(skyboxVertices.size(), 144u);
    EXPECT_EQ(sizeof(float) * skyboxVertices.size(), 576u);
    const float s = 4521.7392578125f;
    EXPECT_EQ(skyboxVertices[0], -s);
    EXPECT_EQ(skyboxVertices[1], s);
    EXPECT_EQ(skyboxVertices[2], s);
    EXPECT_EQ(skyboxVertices[3], 1.0f);
    EXPECT_EQ(skyboxVertices[140], s);
    EXPECT_EQ(skyboxVertices[141], -s);
    EXPECT_EQ(skyboxVertices[142], -s);
    EXPECT_EQ(skyboxVertices[143], 1.0f);
    for (int v = 0; v < 36; ++v) {
        for (int c = 0; c < 3; ++c) EXPECT_EQ(std::fabs(skyboxVertices[v * 4 + c]), s) << v;
        EXPECT_EQ(skyboxVertices[v * 4 + 3], 1.0f);
    }
}

TEST(WorldConstants, EachSkyboxFaceLiesInItsOwnPlane) {
    // Faces +z, +x, -z, -x, +y, -y: one coordinate is constant over the face's six vertices.
    const int axis[6] = {2, 0, 2, 0, 1, 1};
    const float sign[6] = {1, 1, -1, -1, 1, -1};
    for (int face = 0; face < 6; ++face)
        for (int v = face * 6; v < face * 6 + 6; ++v)
            EXPECT_GT(skyboxVertices[v * 4 + axis[face]] * sign[face], 0.0f) << "face " << face << " vertex " << v;
}

TEST(ObjectRegistry, NumbersAreDenseFromZeroAndObjectsAreFoundByNumber) {
    resetObjectRegistry();
    SceneObject first;
    SceneObject second;
    Camera camera;
    EXPECT_EQ(first.id, 0);
    EXPECT_EQ(second.id, 1);
    EXPECT_EQ(camera.id, 2);
    EXPECT_EQ(nextObjectId, 3);
    EXPECT_EQ(findObject(0), &first);
    EXPECT_EQ(findObject(2), &camera);
    EXPECT_EQ(findObject(3), nullptr);
    EXPECT_EQ(findObject(-1), nullptr);
    EXPECT_EQ(objectRegistry.size(), 3u);
}

TEST(ObjectRegistry, ANewObjectStartsWithTheDefaults) {
    resetObjectRegistry();
    SceneObject o;
    EXPECT_EQ(o.state, 0);
    EXPECT_EQ(o.position, glm::vec3(0.0f));
    EXPECT_EQ(o.scale, glm::vec3(1.0f));
    EXPECT_EQ(o.rotation, glm::vec3(0.0f));
    EXPECT_EQ(o.direction, glm::vec3(0, 0, -1));
    EXPECT_TRUE(o.visible);
    EXPECT_FALSE(o.highlighted);
    EXPECT_FALSE(o.identityTransform);
    EXPECT_EQ(o.owner, nullptr);
    EXPECT_EQ(o.target, nullptr);
    EXPECT_EQ(o.stateTimer, 0.0f);
    Camera c;
    EXPECT_EQ(c.viewMatrix, glm::mat4(1.0f));
    EXPECT_TRUE(c.keyboardControl);
}

TEST(ObjectRegistry, AnObjectThatGoesAwayLeavesNoDanglingEntry) {
    resetObjectRegistry();
    {
        SceneObject temporary;
        EXPECT_EQ(findObject(0), &temporary);
    }
    EXPECT_EQ(findObject(0), nullptr);
    SceneObject next;
    EXPECT_EQ(next.id, 1);  // numbers are never reused
}

TEST(SceneObjectGeometry, ModelMatrixScalesThenTurnsThenMoves) {
    resetObjectRegistry();
    SceneObject o;
    o.rotation = glm::vec3(90, 0, 0);  // x turns about the z axis
    glm::vec4 p = o.modelMatrix() * glm::vec4(1, 0, 0, 1);
    EXPECT_NEAR(p.x, 0.0f, 1e-6f);
    EXPECT_NEAR(p.y, 1.0f, 1e-6f);
    o.rotation = glm::vec3(0);
    o.scale = glm::vec3(2);
    o.position = glm::vec3(10, 0, 0);
    p = o.modelMatrix() * glm::vec4(1, 0, 0, 1);
    EXPECT_EQ(glm::vec3(p), glm::vec3(12, 0, 0));
    o.identityTransform = true;
    EXPECT_EQ(o.modelMatrix(), glm::mat4(1.0f));
}

TEST(SceneObjectGeometry, FacingAndHeadingAgree) {
    resetObjectRegistry();
    SceneObject o;
    for (const glm::vec3& v : {glm::vec3(1, 0, 0), glm::vec3(0, 0, -3), glm::vec3(-2, 0, 0.5f), glm::vec3(0.3f, 0, 4)}) {
        o.faceTowards(v);
        const glm::vec3 h = o.heading();
        EXPECT_NEAR(glm::dot(h, glm::normalize(v)), 1.0f, 1e-5f) << v.x << " " << v.z;
    }
    o.rotation.y = 123.0f;
    o.faceTowards(glm::vec3(0.0f));  // a person standing exactly on its goal keeps its rotation
    EXPECT_EQ(o.rotation.y, 123.0f);
    o.faceTowards(glm::vec3(NAN, 0, 1));
    EXPECT_EQ(o.rotation.y, 123.0f);
}

}  // namespace

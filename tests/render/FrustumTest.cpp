// FrustumTest.cpp -- the view frustum's planes and the culling test, on plain numbers without GL.
#include <gtest/gtest.h>

#include "game/Game.h"
#include "game/WorldConstants.h"
#include "render/Render.h"
#include "support/GameBuilders.h"

namespace {

const glm::vec3 origin(0.0f);
const glm::vec3 forward(0.0f, 0.0f, -1.0f);
const glm::vec3 upward(0.0f, 1.0f, 0.0f);

std::array<Plane, 6> standardFrustum(float aspect = 1.5f) {
    return frustumPlanesFor(origin, forward, upward, aspect, farDistance);
}

float signedDistance(const Plane& plane, const glm::vec3& point) { return glm::dot(plane.normal, point) + plane.d; }

TEST(FrustumPlanes, SidesFollowSixtyDegreesAndTheAspect) {
    // At 1200 x 800 the near rectangle is 1.7321 wide and 1.1547 high: its corners lie on the side planes.
    const auto planes = standardFrustum(1200.0f / 800.0f);
    const float halfWidth = 1.7320508f / 2.0f, halfHeight = 1.1547005f / 2.0f;
    for (float depth : {1.0f, 100.0f, 5000.0f}) {
        EXPECT_NEAR(signedDistance(planes[0], {-halfWidth * depth, 0, -depth}), 0.0f, 1e-3f * depth);
        EXPECT_NEAR(signedDistance(planes[1], {halfWidth * depth, 0, -depth}), 0.0f, 1e-3f * depth);
        EXPECT_NEAR(signedDistance(planes[2], {0, halfHeight * depth, -depth}), 0.0f, 1e-3f * depth);
        EXPECT_NEAR(signedDistance(planes[3], {0, -halfHeight * depth, -depth}), 0.0f, 1e-3f * depth);
    }
    // Every normal points inward: a point straight ahead is inside all six.
    for (const Plane& plane : planes) EXPECT_GT(signedDistance(plane, {0, 0, -50}), 0.0f);
    // A square window narrows the sides but not the top.
    const auto square = standardFrustum(1.0f);
    EXPECT_LT(signedDistance(square[0], {-0.7f * 100, 0, -100}), 0.0f);
    EXPECT_GT(signedDistance(planes[0], {-0.7f * 100, 0, -100}), 0.0f);
    EXPECT_NEAR(square[2].normal.y, planes[2].normal.y, 1e-6f);
}

class Culling : public ::testing::Test {
protected:
    Culling() : game(omxtest::windowlessOptions(&sound, 3)) {
        game.updateFrustum(origin, forward, upward);
        game.frustumCulling = true;
    }
    // A probe object with the given radius at a point.
    bool visible(const glm::vec3& at, int radius) {
        probe.position = at;
        probe.boundingRadius = radius;
        return game.isVisible(probe);
    }
    omxtest::RecordingSound sound;
    Game game;
    SceneObject probe;
};

TEST_F(Culling, OffDrawsEverythingAndCountsNothing) {
    game.frustumCulling = false;
    EXPECT_TRUE(visible({0, 0, 500}, 0));           // behind the camera
    EXPECT_TRUE(visible({0, 0, -20000}, 0));        // beyond the far plane
    EXPECT_EQ(game.drawnCount, 0);
    EXPECT_EQ(game.culledCount, 0);
}

TEST_F(Culling, SphereOutsideByMoreThanItsRadiusIsCulled) {
    // 30 units outside the left plane at depth 1000: a person (20) is culled, a statue (40) is drawn.
    const Plane& left = game.frustumPlanes[0];
    const glm::vec3 onLeft(-0.8660254f * 1000.0f, 0.0f, -1000.0f);
    const glm::vec3 outside = onLeft - left.normal * 30.0f;
    EXPECT_NEAR(signedDistance(left, outside), -30.0f, 0.05f);
    EXPECT_FALSE(visible(outside, 20));
    EXPECT_TRUE(visible(outside, 40));
    // A ground tile (1000) goes only when its centre is more than 1000 outside.
    EXPECT_TRUE(visible(onLeft - left.normal * 990.0f, 1000));
    EXPECT_FALSE(visible(onLeft - left.normal * 1010.0f, 1000));
    EXPECT_EQ(game.drawnCount, 2);
    EXPECT_EQ(game.culledCount, 2);
}

TEST_F(Culling, NearAndFarLimits) {
    // The camera's own position is one unit behind the near plane.
    EXPECT_FALSE(visible(origin, 0));
    EXPECT_TRUE(visible(origin, 1));
    EXPECT_TRUE(visible({0, 0, -14707.8f}, 0));
    EXPECT_FALSE(visible({0, 0, -14708.9f}, 0));
    EXPECT_EQ(game.drawnCount, 2);
    EXPECT_EQ(game.culledCount, 2);
}

TEST_F(Culling, WindowShapeEntersAtTheNextCameraUpdate) {
    const glm::vec3 wideLeft(-0.8f * 1000.0f, 0.0f, -1000.0f);  // inside at aspect 1.5, outside at 1
    EXPECT_TRUE(visible(wideLeft, 0));
    game.windowWidth = 800;
    game.windowHeight = 800;
    EXPECT_TRUE(visible(wideLeft, 0));
    game.updateFrustum(origin, forward, upward);
    EXPECT_FALSE(visible(wideLeft, 0));
}

}  // namespace

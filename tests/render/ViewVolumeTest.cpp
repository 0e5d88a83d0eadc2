// ViewVolumeTest.cpp -- the one visibility test: the planes of a view from its matrices, the view through a window
// rectangle, and when a sphere reaches them, on plain numbers without GL.
#include <gtest/gtest.h>

#include <glm/gtc/matrix_transform.hpp>

#include "game/WorldConstants.h"
#include "math/Conventions.h"
#include "render/ViewVolume.h"

namespace {

// The camera at the origin looking down -z, as the game projects a window of that shape.
ViewVolume standardView(float aspect = 1.5f) {
    const glm::mat4 view = glm::lookAt(glm::vec3(0.0f), glm::vec3(0.0f, 0.0f, -1.0f), glm::vec3(0.0f, 1.0f, 0.0f));
    return ViewVolume::of(view, omx::perspectiveDegrees(fieldOfViewDegrees, aspect, 1.0f, farDistance));
}

double distanceTo(const glm::dvec4& plane, const glm::vec3& point) {
    return glm::dot(plane, glm::dvec4(glm::dvec3(point), 1.0));
}

TEST(ViewVolume, SidesFollowSixtyDegreesAndTheAspect) {
    // At 1200 x 800 the near rectangle is 1.7321 wide and 1.1547 high: its corners lie on the side planes.
    const ViewVolume v = standardView(1200.0f / 800.0f);
    const float halfWidth = 1.7320508f / 2.0f, halfHeight = 1.1547005f / 2.0f;
    for (float depth : {1.0f, 100.0f, 5000.0f}) {
        EXPECT_NEAR(distanceTo(v.planes[0], {-halfWidth * depth, 0, -depth}), 0.0, 1e-3 * depth);
        EXPECT_NEAR(distanceTo(v.planes[1], {halfWidth * depth, 0, -depth}), 0.0, 1e-3 * depth);
        EXPECT_NEAR(distanceTo(v.planes[2], {0, -halfHeight * depth, -depth}), 0.0, 1e-3 * depth);
        EXPECT_NEAR(distanceTo(v.planes[3], {0, halfHeight * depth, -depth}), 0.0, 1e-3 * depth);
    }
    // Every normal points inward: a point straight ahead is inside all six.
    for (const glm::dvec4& plane : v.planes) EXPECT_GT(distanceTo(plane, {0, 0, -50}), 0.0);
    // A square window narrows the sides but not the top.
    const ViewVolume square = standardView(1.0f);
    EXPECT_LT(distanceTo(square.planes[0], {-0.7f * 100, 0, -100}), 0.0);
    EXPECT_GT(distanceTo(v.planes[0], {-0.7f * 100, 0, -100}), 0.0);
    EXPECT_NEAR(square.planes[3].y, v.planes[3].y, 1e-9);
}

TEST(ViewVolume, ASphereOutsideByMoreThanItsRadiusAndTheMarginDoesNotReach) {
    // 30 units outside the left plane at depth 1000: a person (20) is out, a statue (40) reaches in.
    const ViewVolume v = standardView();
    const glm::vec3 normal(v.planes[0]);
    const glm::vec3 onLeft(-0.8660254f * 1000.0f, 0.0f, -1000.0f);
    const glm::vec3 outside = onLeft - normal * 30.0f;
    EXPECT_NEAR(distanceTo(v.planes[0], outside), -30.0, 0.05);
    EXPECT_FALSE(v.reaches(outside, 20.0f));
    EXPECT_TRUE(v.reaches(outside, 40.0f));
    // A ground tile (1000) goes only when its centre is more than 1000 (and the margin, 2) outside.
    EXPECT_TRUE(v.reaches(onLeft - normal * 1001.5f, 1000.0f));
    EXPECT_FALSE(v.reaches(onLeft - normal * 1010.0f, 1000.0f));
}

TEST(ViewVolume, NearAndFarLimitsWithTheOneUnitMargin) {
    const ViewVolume v = standardView();
    // The near plane is one unit in front of the eye: a point two units behind the eye is out.
    EXPECT_TRUE(v.reaches(glm::vec3(0.0f), 0.0f));
    EXPECT_FALSE(v.reaches(glm::vec3(0.0f, 0.0f, 1.5f), 0.0f));
    // The far plane lies where the projection clips, within the float rounding of its depth (a few units).
    EXPECT_NEAR(distanceTo(v.planes[5], {0, 0, -farDistance}), 0.0, 5.0);
    EXPECT_TRUE(v.reaches({0, 0, -farDistance + 5.0f}, 0.0f));
    EXPECT_FALSE(v.reaches({0, 0, -farDistance - 8.0f}, 0.0f));
}

TEST(ViewVolume, TheViewThroughOnePixelSeesOnlyAroundThatPixel) {
    const ViewVolume v = standardView(1.5f);
    // The centre pixel of a 1200 x 800 window looks straight ahead.
    const ViewVolume pixel = v.through(600, 400, 601, 401, 1200, 800);
    EXPECT_FALSE(pixel.wholeWindow);
    EXPECT_TRUE(pixel.reaches({0, 0, -1000}, 0.0f));
    // 50 units to the side at depth 1000 is about 35 pixels away: outside, unless the sphere reaches back.
    EXPECT_FALSE(pixel.reaches({50, 0, -1000}, 0.0f));
    EXPECT_TRUE(pixel.reaches({50, 0, -1000}, 50.0f));
    EXPECT_TRUE(v.reaches({50, 0, -1000}, 0.0f));
    // The whole window is the whole view.
    const ViewVolume whole = v.through(0, 0, 1200, 800, 1200, 800);
    EXPECT_TRUE(whole.wholeWindow);
    EXPECT_EQ(whole.planes, v.planes);
}

}  // namespace

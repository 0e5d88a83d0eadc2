// PlaneTest.cpp -- planes from three points, and the degree-taking wrappers over GLM.
#include <gtest/gtest.h>

#include <glm/gtc/matrix_transform.hpp>

#include "math/Conventions.h"
#include "math/Plane.h"

TEST(Plane, NormalFollowsThePointsOrderAndNotTheEdgeLengths) {
    Plane plane;
    plane.setFromPoints({0, 2, 0}, {1, 2, 0}, {0, 2, 1});
    EXPECT_EQ(plane.normal, glm::vec3(0.0f, 1.0f, 0.0f));
    EXPECT_FLOAT_EQ(plane.d, -2.0f);
    EXPECT_FLOAT_EQ(plane.distance({3, 7, 7}), 5.0f);
    EXPECT_FLOAT_EQ(plane.distance({3, 0, 7}), -2.0f);
    // Counter-clockwise origin, a, b seen from +z: the normal points away from that viewer, whatever the lengths.
    Plane shortEdges, longEdges;
    shortEdges.setFromPoints({1, 1, 1}, {2, 1, 1}, {1, 3, 1});
    longEdges.setFromPoints({1, 1, 1}, {1001, 1, 1}, {1, 1.5f, 1});
    EXPECT_NEAR(glm::length(shortEdges.normal - glm::vec3(0, 0, -1)), 0.0f, 1e-6f);
    EXPECT_NEAR(glm::length(longEdges.normal - glm::vec3(0, 0, -1)), 0.0f, 1e-6f);
}

TEST(Plane, PointsOnALineGiveAZeroNormalWithoutFaulting) {
    Plane plane;
    plane.setFromPoints({0, 0, 0}, {1, 1, 1}, {2, 2, 2});
    EXPECT_EQ(plane.normal, glm::vec3(0.0f));
    EXPECT_FLOAT_EQ(plane.distance({5, 5, 5}), 0.0f);
    plane.setFromPoints({1, 1, 1}, {1, 1, 1}, {1, 1, 1});
    EXPECT_EQ(plane.normal, glm::vec3(0.0f));
}

TEST(MathConventions, DegreesGoInTurnCounterClockwiseAndTheFieldOfViewIsWhole) {
    const glm::vec4 turned = omx::rotateDegrees(glm::mat4(1.0f), 90.0f, {0, 1, 0}) * glm::vec4(1, 0, 0, 0);
    EXPECT_NEAR(glm::length(glm::vec3(turned) - glm::vec3(0, 0, -1)), 0.0f, 1e-6f);
    EXPECT_NEAR(omx::rotateVector({1, 0, 0}, 90.0f, {0, 0, 2}).y, 1.0f, 1e-6f);  // the axis is normalised inside
    const glm::mat4 p = omx::perspectiveDegrees(60.0f, 1.5f, 1.0f, 100.0f);
    EXPECT_NEAR(p[1][1], 1.0f / std::tan(0.5235988f), 1e-5f);  // half of 60 degrees
    EXPECT_NEAR(p[0][0], p[1][1] / 1.5f, 1e-5f);
}

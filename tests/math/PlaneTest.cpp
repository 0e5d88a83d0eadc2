// PlaneTest.cpp -- plane orientation and the GLM conventions the game relies on.
#include <gtest/gtest.h>

#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtc/type_ptr.hpp>

#include "math/Conventions.h"
#include "math/Plane.h"

TEST(Plane, ThroughOriginWithEdgesAlongXAndZPointsUp) {
    Plane plane;
    plane.setFromPoints({0, 0, 0}, {1, 0, 0}, {0, 0, 1});
    EXPECT_FLOAT_EQ(plane.normal.x, 0.0f);
    EXPECT_FLOAT_EQ(plane.normal.y, 1.0f);
    EXPECT_FLOAT_EQ(plane.normal.z, 0.0f);
    EXPECT_FLOAT_EQ(plane.d, 0.0f);
    EXPECT_FLOAT_EQ(plane.distance({0, 5, 0}), 5.0f);
    EXPECT_FLOAT_EQ(plane.distance({3, -2, 7}), -2.0f);
}

TEST(Plane, MovedUpKeepsNormalAndShiftsConstant) {
    Plane plane;
    plane.setFromPoints({0, 2, 0}, {1, 2, 0}, {0, 2, 1});
    EXPECT_FLOAT_EQ(plane.normal.y, 1.0f);
    EXPECT_FLOAT_EQ(plane.d, -2.0f);
}

TEST(Plane, EdgeLengthsDoNotChangeTheNormal) {
    Plane shortEdges, longEdges;
    shortEdges.setFromPoints({1, 1, 1}, {2, 1, 1}, {1, 3, 1});
    longEdges.setFromPoints({1, 1, 1}, {1001, 1, 1}, {1, 1.5f, 1});
    EXPECT_NEAR(glm::length(shortEdges.normal - longEdges.normal), 0.0f, 1e-6f);
    EXPECT_NEAR(glm::length(shortEdges.normal), 1.0f, 1e-6f);
    // Counter-clockwise origin, a, b seen from +z: the normal points away from that viewer.
    EXPECT_FLOAT_EQ(shortEdges.normal.z, -1.0f);
}

TEST(Plane, CollinearPointsGiveAZeroNormalWithoutFaulting) {
    Plane plane;
    plane.setFromPoints({0, 0, 0}, {1, 1, 1}, {2, 2, 2});
    EXPECT_EQ(plane.normal, glm::vec3(0.0f));
    EXPECT_FLOAT_EQ(plane.distance({5, 5, 5}), 0.0f);
    plane.setFromPoints({1, 1, 1}, {1, 1, 1}, {1, 1, 1});
    EXPECT_EQ(plane.normal, glm::vec3(0.0f));
}

TEST(MathConventions, DefaultsAreIdentityAndZero) {
    glm::mat4 m;
    glm::mat3 n;
    glm::vec3 v;
    glm::vec4 w;
    EXPECT_EQ(m, glm::mat4(1.0f));
    EXPECT_EQ(n, glm::mat3(1.0f));
    EXPECT_EQ(v, glm::vec3(0.0f));
    EXPECT_EQ(w, glm::vec4(0.0f));
    EXPECT_EQ(glm::mat4(0.0f)[0][0], 0.0f);
}

TEST(MathConventions, ColumnMajorTranslationAndUpperLeftBlock) {
    const glm::mat4 t = glm::translate(glm::mat4(1.0f), glm::vec3(4, 5, 6));
    const float* f = glm::value_ptr(t);
    EXPECT_EQ(f[12], 4.0f);
    EXPECT_EQ(f[13], 5.0f);
    EXPECT_EQ(f[14], 6.0f);
    EXPECT_EQ(f[15], 1.0f);
    glm::mat4 m(0.0f);
    for (int i = 0; i < 16; ++i) glm::value_ptr(m)[i] = static_cast<float>(i);
    const glm::mat3 block(m);
    EXPECT_EQ(block[0][0], 0.0f);
    EXPECT_EQ(block[1][0], 4.0f);
    EXPECT_EQ(block[2][2], 10.0f);
}

TEST(MathConventions, DegreesGoInAndTurnCounterClockwise) {
    EXPECT_EQ(omx::toRadians(180.0f), 180.0f * 0.017453293f);
    const glm::vec4 turned = omx::rotateDegrees(glm::mat4(1.0f), 90.0f, {0, 1, 0}) * glm::vec4(1, 0, 0, 0);
    EXPECT_NEAR(turned.x, 0.0f, 1e-6f);
    EXPECT_NEAR(turned.z, -1.0f, 1e-6f);
    const glm::vec3 v = omx::rotateVector({1, 0, 0}, 90.0f, {0, 0, 2});  // axis normalised inside
    EXPECT_NEAR(v.y, 1.0f, 1e-6f);
    // Translate then scale: the scale acts first.
    const glm::mat4 ts = glm::scale(glm::translate(glm::mat4(1.0f), {10, 0, 0}), {2, 2, 2});
    EXPECT_EQ(glm::vec3(ts * glm::vec4(1, 0, 0, 1)), glm::vec3(12, 0, 0));
}

TEST(MathConventions, PerspectiveTakesTheFullFieldOfViewInDegrees) {
    const glm::mat4 p = omx::perspectiveDegrees(60.0f, 1.5f, 1.0f, 100.0f);
    // [1][1] = 1 / tan(30 degrees)
    EXPECT_NEAR(p[1][1], 1.0f / std::tan(0.5235988f), 1e-5f);
    EXPECT_NEAR(p[0][0], p[1][1] / 1.5f, 1e-5f);
    // A point on the near plane maps to depth -1.
    const glm::vec4 nearPoint = p * glm::vec4(0, 0, -1, 1);
    EXPECT_NEAR(nearPoint.z / nearPoint.w, -1.0f, 1e-5f);
}

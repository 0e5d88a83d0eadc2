// Conventions.h -- how the game uses GLM: degrees everywhere, converted at the GLM boundary.
#pragma once

#include <cmath>

#include <glm/glm.hpp>

namespace omx {

// Degrees to radians the way the game has always done it: the product with 0.017453293 in single precision.
inline float toRadians(float degrees) { return degrees * 0.017453293f; }

// 180 / pi in double precision, for turning acos results back into degrees.
constexpr double degreesPerRadian = 57.29577791868205;

// v turned about axis by the given degrees (upper-left 3x3 of glm::rotate, times v).
glm::vec3 rotateVector(const glm::vec3& v, float degrees, const glm::vec3& axis);

// m * R(degrees about axis); angle in degrees.
glm::mat4 rotateDegrees(const glm::mat4& m, float degrees, const glm::vec3& axis);

// An ever-turning angle brought back into (-360, 360), so that its heading stays precise over hours of play.
inline float wrapDegrees(float degrees) { return std::fmod(degrees, 360.0f); }

// Vertical field of view in degrees.
glm::mat4 perspectiveDegrees(float fovyDegrees, float aspect, float zNear, float zFar);

}  // namespace omx

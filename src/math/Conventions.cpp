// Conventions.cpp -- degree-based wrappers around GLM's radian functions.
#include "math/Conventions.h"

#include <glm/gtc/matrix_transform.hpp>

namespace omx {

glm::mat4 rotateDegrees(const glm::mat4& m, float degrees, const glm::vec3& axis) {
    return glm::rotate(m, toRadians(degrees), axis);
}

glm::vec3 rotateVector(const glm::vec3& v, float degrees, const glm::vec3& axis) {
    return glm::mat3(rotateDegrees(glm::mat4(1.0f), degrees, axis)) * v;
}

glm::mat4 perspectiveDegrees(float fovyDegrees, float aspect, float zNear, float zFar) {
    return glm::perspective(toRadians(fovyDegrees), aspect, zNear, zFar);
}

}  // namespace omx

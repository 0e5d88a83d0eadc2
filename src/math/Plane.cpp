// Plane.cpp -- plane through three points.
#include "math/Plane.h"

#include <cmath>

namespace {
glm::vec3 safeNormalize(const glm::vec3& v) {
    const float len = glm::length(v);
    if (!(len > 0.0f) || !std::isfinite(len)) return glm::vec3(0.0f);
    return v / len;
}
}  // namespace

void Plane::setFromPoints(const glm::vec3& origin, const glm::vec3& a, const glm::vec3& b) {
    const glm::vec3 u = safeNormalize(a - origin);
    const glm::vec3 w = safeNormalize(b - origin);
    normal = safeNormalize(glm::cross(w, u));
    d = -glm::dot(normal, origin);
}

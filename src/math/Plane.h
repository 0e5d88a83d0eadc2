// Plane.h -- an oriented plane: points on the normal's side have positive distance.
#pragma once

#include <glm/glm.hpp>

struct Plane {
    float d = 0.0f;                       // -dot(normal, any point of the plane)
    glm::vec3 normal = glm::vec3(0.0f);   // unit normal, zero until computed

    // Plane through three points; normal = normalize(cross(normalize(b - origin), normalize(a - origin))).
    // Degenerate input (coincident or collinear points) leaves a zero normal and d = 0.
    void setFromPoints(const glm::vec3& origin, const glm::vec3& a, const glm::vec3& b);

    // Signed distance in world units.
    float distance(const glm::vec3& q) const { return glm::dot(normal, q) + d; }
};

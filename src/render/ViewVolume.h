// ViewVolume.h -- what one view sees: its matrices and the six planes of its volume, and the one test of whether
// an object's bounding sphere can reach a pixel of it. Every skip and every culling decision uses it.
#pragma once

#include <array>

#include <glm/glm.hpp>

struct ViewVolume {
    glm::mat4 viewMatrix = glm::mat4(1.0f);
    glm::mat4 projectionMatrix = glm::mat4(1.0f);
    // Left, right, bottom, top, near, far: inward, with unit normals (x, y, z) and distance w.
    std::array<glm::dvec4, 6> planes{};
    bool wholeWindow = true;  // false for the view through a part of the window

    // The volume between the planes of projection x view.
    static ViewVolume of(const glm::mat4& viewMatrix, const glm::mat4& projectionMatrix);
    // The part of this view seen through the window rectangle [x0, x1) x [y0, y1) of a width x height window,
    // one pixel wider on each side; the whole view when the rectangle covers the window.
    ViewVolume through(int x0, int y0, int x1, int y1, int width, int height) const;
    // False when a sphere of that radius around the centre lies wholly outside one of the planes, with a
    // small margin for the rounding between these planes and the clipping: then it cannot show in the view.
    bool reaches(const glm::vec3& centre, float radius) const;
};

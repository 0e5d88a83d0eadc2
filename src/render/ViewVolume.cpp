// ViewVolume.cpp -- the planes of a view from its matrices, the view through a window rectangle, the sphere test.
#include "render/ViewVolume.h"

ViewVolume ViewVolume::of(const glm::mat4& viewMatrix, const glm::mat4& projectionMatrix) {
    ViewVolume volume;
    volume.viewMatrix = viewMatrix;
    volume.projectionMatrix = projectionMatrix;
    // Rows of the clip transform: x + w >= 0, w - x >= 0, and so on for y and z.
    const glm::dmat4 clip = glm::transpose(glm::dmat4(projectionMatrix) * glm::dmat4(viewMatrix));
    volume.planes = {clip[3] + clip[0], clip[3] - clip[0], clip[3] + clip[1],
                     clip[3] - clip[1], clip[3] + clip[2], clip[3] - clip[2]};
    for (glm::dvec4& plane : volume.planes) plane /= glm::length(glm::dvec3(plane));
    return volume;
}

ViewVolume ViewVolume::through(int x0, int y0, int x1, int y1, int width, int height) const {
    if (x0 <= 0 && y0 <= 0 && x1 >= width && y1 >= height) return *this;
    ViewVolume part = *this;
    part.wholeWindow = false;
    const glm::dmat4 m = glm::transpose(glm::dmat4(projectionMatrix) * glm::dmat4(viewMatrix));
    const double w = width, h = height;
    const double left = 2.0 * (x0 - 1) / w - 1.0, right = 2.0 * (x1 + 1) / w - 1.0;
    const double bottom = 2.0 * (y0 - 1) / h - 1.0, top = 2.0 * (y1 + 1) / h - 1.0;
    // x - left w >= 0, right w - x >= 0, and the same for y, in clip coordinates.
    part.planes[0] = m[0] - left * m[3];
    part.planes[1] = right * m[3] - m[0];
    part.planes[2] = m[1] - bottom * m[3];
    part.planes[3] = top * m[3] - m[1];
    for (int i = 0; i < 4; ++i) part.planes[static_cast<std::size_t>(i)] /= glm::length(glm::dvec3(part.planes[static_cast<std::size_t>(i)]));
    return part;
}

bool ViewVolume::reaches(const glm::vec3& centre, float radius) const {
    const glm::dvec4 c(glm::dvec3(centre), 1.0);
    const double r = static_cast<double>(radius) * 1.001 + 1.0;
    for (const glm::dvec4& plane : planes)
        if (glm::dot(plane, c) < -r) return false;
    return true;
}

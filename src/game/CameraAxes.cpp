// CameraAxes.cpp -- the camera's horizontal axes, kept usable when it looks straight up or down.
#include "game/CameraAxes.h"

#include <cmath>

namespace {

// Below this horizontal length the direction counts as straight up or down.
constexpr float verticalThreshold = 1e-6f;

float horizontalLength(const glm::vec3& direction) {
    return std::sqrt(direction.x * direction.x + direction.z * direction.z);
}

}  // namespace

bool looksStraightUpOrDown(const glm::vec3& direction) { return horizontalLength(direction) <= verticalThreshold; }

glm::vec3 horizontalDirection(const glm::vec3& direction, glm::vec3& lastGood) {
    const float n = horizontalLength(direction);
    if (!(n > verticalThreshold) || !std::isfinite(n)) return lastGood;
    lastGood = glm::vec3(direction.x / n, 0.0f, direction.z / n);
    return lastGood;
}

glm::vec3 pitchAxis(const glm::vec3& direction, glm::vec3& lastGood) {
    const float n = horizontalLength(direction);
    if (!(n > verticalThreshold) || !std::isfinite(n)) return glm::vec3(-lastGood.z, 0.0f, lastGood.x);
    lastGood = glm::vec3(direction.x / n, 0.0f, direction.z / n);
    return glm::vec3(-direction.z, 0.0f, direction.x);
}

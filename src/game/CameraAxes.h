// CameraAxes.h -- the camera's horizontal axes, kept usable when it looks straight up or down.
#pragma once

#include <glm/glm.hpp>

// True when direction has no horizontal part to speak of: it points straight up or down.
bool looksStraightUpOrDown(const glm::vec3& direction);

// The unit horizontal part (x, 0, z) of direction. When direction has no horizontal part (it points
// straight up or down) lastGood is returned instead; otherwise lastGood is updated to the result.
glm::vec3 horizontalDirection(const glm::vec3& direction, glm::vec3& lastGood);

// The horizontal axis to the camera's side, (-h.z, 0, h.x) for the horizontal direction h above.
// The pitch turns about it and the up vector is the direction turned about it by 90 degrees.
glm::vec3 pitchAxis(const glm::vec3& direction, glm::vec3& lastGood);

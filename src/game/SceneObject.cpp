// SceneObject.cpp -- object numbering, registry, heading, facing and the model matrix.
#include "game/SceneObject.h"

#include <algorithm>
#include <cmath>

#include <glm/gtc/matrix_transform.hpp>

#include "math/Conventions.h"

std::map<int, SceneObject*> objectRegistry;
int nextObjectId = 0;

void resetObjectRegistry() {
    objectRegistry.clear();
    nextObjectId = 0;
}

SceneObject* findObject(int id) {
    const auto it = objectRegistry.find(id);
    return it == objectRegistry.end() ? nullptr : it->second;
}

SceneObject::SceneObject() : id(nextObjectId++) { objectRegistry[id] = this; }

SceneObject::~SceneObject() {
    const auto it = objectRegistry.find(id);
    if (it != objectRegistry.end() && it->second == this) objectRegistry.erase(it);
}

glm::vec3 SceneObject::heading() const {
    const float yaw = omx::toRadians(rotation.y);
    return glm::vec3(std::cos(yaw), 0.0f, -std::sin(yaw));
}

void SceneObject::faceTowards(const glm::vec3& v) {
    const float len = glm::length(v);
    if (!(len > 0.0f) || !std::isfinite(len)) return;
    const float nx = std::clamp(v.x / len, -1.0f, 1.0f);
    const double a = std::acos(static_cast<double>(nx)) * omx::degreesPerRadian;
    rotation.y = static_cast<float>(v.z < 0.0f ? a : 360.0 - a);
}

glm::mat4 SceneObject::modelMatrix() const {
    if (identityTransform) return glm::mat4(1.0f);
    glm::mat4 m = glm::translate(glm::mat4(1.0f), position);
    m = omx::rotateDegrees(m, rotation.y, glm::vec3(0.0f, 1.0f, 0.0f));
    m = omx::rotateDegrees(m, rotation.z, glm::vec3(1.0f, 0.0f, 0.0f));
    m = omx::rotateDegrees(m, rotation.x, glm::vec3(0.0f, 0.0f, 1.0f));
    return glm::scale(m, scale);
}

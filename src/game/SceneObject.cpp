// SceneObject.cpp -- object numbering, registry, heading, facing, the model matrix and the rotation animation of
// every settlement object and person.
#include "game/SceneObject.h"

#include <algorithm>
#include <cmath>

#include <glm/gtc/matrix_transform.hpp>

#include "math/Conventions.h"

namespace {

// Swings one angle between low and high at |speed| degrees per second. The step stops at the bound it
// runs into, so one long frame (a slow machine, a shader compiled mid-game) cannot tip a tree or a person
// over; the speed turns at the bound on the next step as usual.
void swingBetween(float& angle, float& speed, float low, float high, float dt) {
    if (angle <= low) speed = std::fabs(speed);
    if (angle >= high) speed = -std::fabs(speed);
    const float moved = angle + speed * dt;
    angle = speed > 0.0f ? std::min(moved, std::max(angle, high)) : std::max(moved, std::min(angle, low));
}

void swing(float& angle, float& speed, float limit, float dt) { swingBetween(angle, speed, -limit, limit, dt); }

}  // namespace

// The numbers of a gone object and of a risen monument.
constexpr int goneCode = 6;
constexpr int risenCode = 7;

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

SceneObject* SceneObjectStore::create(ObjectType type) {
    objects.push_back(std::make_unique<SceneObject>());
    objects.back()->type = type;
    return objects.back().get();
}

int SceneObject::stateCode() const {
    switch (type) {
    case ObjectType::GoodPerson:
    case ObjectType::BadPerson: return static_cast<int>(personState);
    case ObjectType::HolyGrenade: return static_cast<int>(grenadeState);
    default: return gone ? goneCode : risen ? risenCode : 0;
    }
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

void SceneObject::animate(const Settlement*, float dt) {
    switch (type) {
    case ObjectType::GoodPerson:
    case ObjectType::BadPerson:
        if (personState == PersonState::Wandering || personState == PersonState::Dragging || personState == PersonState::Sent) {
            swing(rotation.z, rotationSpeed.z, 30.0f, dt);
            rotation.x = 0.0f;
        } else if (personState == PersonState::Working) {
            // Bows between -30 and 0 degrees.
            swingBetween(rotation.x, rotationSpeed.x, -30.0f, 0.0f, dt);
            rotation.z = 0.0f;
        } else if (personState == PersonState::Dragged) {
            rotation.x = -30.0f;
            rotation.z = 0.0f;
        }
        break;
    case ObjectType::HolyGrenade:
        if (grenadeState == GrenadeState::Rolling) {
            rotation.x += rotationSpeed.x * dt;
            break;
        }
        [[fallthrough]];
    case ObjectType::SettlementTree:
        swing(rotation.x, rotationSpeed.x, rotationLimit.x, dt);
        swing(rotation.z, rotationSpeed.z, rotationLimit.z, dt);
        rotation.y = omx::wrapDegrees(rotation.y + rotationSpeed.y * dt);
        break;
    case ObjectType::MoaiStatue:
        rotation.y = omx::wrapDegrees(rotation.y + rotationSpeed.y * dt);
        break;
    default:
        break;
    }
}

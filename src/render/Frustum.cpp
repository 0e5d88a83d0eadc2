// Frustum.cpp -- the view frustum's planes from the camera, and the bounding-sphere culling test with its counts.
#include <algorithm>
#include <cmath>

#include "assets/Model.h"
#include "game/Game.h"
#include "game/WorldConstants.h"
#include "math/Conventions.h"
#include "render/Render.h"

std::array<Plane, 6> frustumPlanesFor(const glm::vec3& position, const glm::vec3& direction, const glm::vec3& up,
                                      float aspect, float farPlane) {
    const float q = std::tan(omx::toRadians(fieldOfViewDegrees / 2.0f));
    const float hNear = 2.0f * q;
    const float wNear = hNear * aspect;
    const float hFar = 2.0f * q * farPlane;
    const float wFar = hFar * aspect;
    const glm::vec3 right = glm::cross(direction, up);

    const glm::vec3 nearCentre = position + direction;
    const glm::vec3 farCentre = position + direction * farPlane;
    const glm::vec3 nearUp = up * (hNear / 2.0f), nearRight = right * (wNear / 2.0f);
    const glm::vec3 farUp = up * (hFar / 2.0f), farRight = right * (wFar / 2.0f);

    const glm::vec3 ntl = nearCentre + nearUp - nearRight, ntr = nearCentre + nearUp + nearRight;
    const glm::vec3 nbl = nearCentre - nearUp - nearRight, nbr = nearCentre - nearUp + nearRight;
    const glm::vec3 ftl = farCentre + farUp - farRight, ftr = farCentre + farUp + farRight;
    const glm::vec3 fbl = farCentre - farUp - farRight, fbr = farCentre - farUp + farRight;

    std::array<Plane, 6> planes{};
    planes[0].setFromPoints(nbl, ntl, fbl);  // left
    planes[1].setFromPoints(ntr, nbr, fbr);  // right
    planes[2].setFromPoints(ntl, ntr, ftl);  // top
    planes[3].setFromPoints(nbr, nbl, fbr);  // bottom
    planes[4].setFromPoints(ntr, ntl, nbr);  // near
    planes[5].setFromPoints(ftl, ftr, fbl);  // far
    return planes;
}

void Game::updateFrustum(const glm::vec3& position, const glm::vec3& direction, const glm::vec3& up) {
    const float aspect = static_cast<float>(windowWidth) / static_cast<float>(windowHeight);
    frustumPlanes = frustumPlanesFor(position, direction, up, aspect, farDistance);
}

float Game::reachOf(const SceneObject& object) const {
    const Model* model = nullptr;
    switch (object.type) {
    case GoodPerson: model = goodPersonModel; break;
    case BadPerson: model = badPersonModel; break;
    case SettlementTree: model = treeModel; break;
    case MoaiStatue: model = moaiModel; break;
    case HolyGrenade: model = grenadeModel; break;
    default: break;
    }
    const float radius = static_cast<float>(object.boundingRadius);
    if (!model || model->extent <= 0.0f) return radius;
    const glm::vec3 s = glm::abs(object.scale);
    return std::max(radius, model->extent * std::max(s.x, std::max(s.y, s.z)));
}

bool Game::reachesView(const SceneObject& object) const {
    if (plainRendering) return true;
    const glm::dvec4 centre(glm::dvec3(object.position), 1.0);
    // A little wider than the sphere, for the rounding between these planes and the clipping.
    const double radius = static_cast<double>(reachOf(object)) * 1.001 + 1.0;
    for (const glm::dvec4& plane : viewVolume)
        if (glm::dot(plane, centre) < -radius) return false;
    return true;
}

bool Game::isVisible(const SceneObject& object) {
    if (!frustumCulling) return true;
    // The most negative distance of the centre to any plane; 0 when the centre is inside all six.
    float outside = 0.0f;
    for (const Plane& plane : frustumPlanes) {
        const float dist = glm::dot(plane.normal, object.position) + plane.d;
        if (dist < outside) outside = dist;
    }
    if (reachOf(object) + outside < 0.0f) {
        culledCount += 1;
        return false;
    }
    drawnCount += 1;
    return true;
}

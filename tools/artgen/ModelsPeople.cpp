// ModelsPeople.cpp -- the little people: a faceted head, a six-sided robe, two legs and two mitten arms, each a
// closed solid (every end capped, every face wound outwards), so no view looks into one.
#include "Atlas.h"
#include "Models.h"

#include <cmath>

#include <glm/gtc/constants.hpp>

namespace artgen {

namespace {

// Ring of n points around an arbitrary axis (used for limbs that do not stand upright).
std::vector<glm::vec3> axisRing(const glm::vec3& centre, const glm::vec3& axis, float radius, int n) {
    const glm::vec3 a = glm::normalize(axis);
    const glm::vec3 reference = std::fabs(a.y) < 0.9f ? glm::vec3(0, 1, 0) : glm::vec3(1, 0, 0);
    const glm::vec3 u = glm::normalize(glm::cross(a, reference));
    const glm::vec3 v = glm::cross(a, u);
    std::vector<glm::vec3> ring;
    for (int i = 0; i < n; ++i) {
        const float angle = glm::two_pi<float>() * static_cast<float>(i) / static_cast<float>(n);
        ring.push_back(centre + radius * (std::cos(angle) * u + std::sin(angle) * v));
    }
    return ring;
}

// Shoulder to wrist as a three-sided prism, closed by a sleeve end at the shoulder and a pointed mitten at the hand.
void addArm(Mesh& mesh, const glm::vec3& shoulder, const glm::vec3& hand, float radius) {
    const glm::vec3 axis = hand - shoulder;
    const glm::vec3 wrist = shoulder + axis * 0.8f;
    const std::vector<glm::vec3> tip(3, hand);
    addLoft(mesh, {axisRing(shoulder, axis, radius, 3), axisRing(wrist, axis, radius * 0.9f, 3), tip},
            {0.0f, 0.8f, 1.0f}, atlas::personArm, true, false, atlas::personRobeCap);
}

// A foot-shaped wedge under a straight leg, sole and top closed; the foot ring is longer towards the front.
void addLeg(Mesh& mesh, float z, float hipHeight, float footLength) {
    const auto foot = ellipseRing({0.05f, 0.0f, z}, footLength, 0.11f, 4);
    const auto hip = ellipseRing({0.0f, hipHeight, z}, 0.11f, 0.11f, 4);
    addLoft(mesh, {foot, hip}, {1.0f, 0.0f}, atlas::personLeg, true, true, atlas::personSole);
}

// A cone of n sides from a base circle (centre, radius, axis towards tip) to a point, its base closed.
void addHorn(Mesh& mesh, const glm::vec3& base, const glm::vec3& tip, float radius) {
    const std::vector<glm::vec3> point(3, tip);
    addLoft(mesh, {axisRing(base, tip - base, radius, 3), point}, {1.0f, 0.0f}, atlas::personExtra, true, false,
            atlas::personExtra);
}

}  // namespace

std::vector<Mesh> buildPerson(bool good) {
    Mesh mesh;
    mesh.name = good ? "good_person" : "bad_person";
    // Good people stand upright and wave; bad ones hunch forward, claws out, with horns.
    const float lean = good ? 0.0f : 0.12f;
    const float hunch = good ? 0.0f : 0.08f;

    addLeg(mesh, 0.17f, 0.62f, good ? 0.17f : 0.2f);
    addLeg(mesh, -0.17f, 0.62f, good ? 0.17f : 0.2f);

    // Robe: hips, belly, shoulders (six sides, a vertex at the front so the robe has a crease), closed at the hem
    // and across the shoulders.
    const float shoulderWidth = good ? 0.27f : 0.36f;
    addLoft(mesh,
            {ellipseRing({0.0f, 0.55f, 0.0f}, 0.3f, good ? 0.33f : 0.27f, 6),
             ellipseRing({0.02f, 0.95f, 0.0f}, good ? 0.37f : 0.3f, good ? 0.4f : 0.34f, 6),
             ellipseRing({lean * 0.6f, 1.32f - hunch, 0.0f}, 0.24f, shoulderWidth, 6)},
            {1.0f, 0.5f, 0.0f}, atlas::personBody, true, true, atlas::personRobeCap);

    // Head: seven sides, so a flat facet faces +x and carries the face; closed under the chin, pointed on top.
    const glm::vec3 headBase(lean, 1.3f - hunch, 0.0f);
    const float headWidth = good ? 0.32f : 0.29f;
    addLoft(mesh,
            {ellipseRing(headBase, 0.13f, 0.13f, 7), ellipseRing(headBase + glm::vec3(0, 0.16f, 0), 0.3f, headWidth, 7),
             ellipseRing(headBase + glm::vec3(0, 0.43f, 0), 0.3f, headWidth, 7),
             ellipseRing(headBase + glm::vec3(0, 0.59f, 0), 0.19f, 0.2f, 7),
             std::vector<glm::vec3>(7, headBase + glm::vec3(0, good ? 0.68f : 0.62f, 0))},
            {1.0f, 0.8f, 0.25f, 0.08f, 0.0f}, atlas::personHead, true, false, atlas::personNeck);

    const float shoulderY = 1.24f - hunch;
    if (good) {
        addArm(mesh, {0.0f, shoulderY, 0.3f}, {0.1f, 0.78f, 0.48f}, 0.09f);
        addArm(mesh, {0.0f, shoulderY, -0.3f}, {0.12f, 1.78f, -0.62f}, 0.09f);  // waving
    } else {
        addArm(mesh, {lean * 0.5f, shoulderY, 0.36f}, {0.42f, 0.92f, 0.36f}, 0.08f);
        addArm(mesh, {lean * 0.5f, shoulderY, -0.36f}, {0.42f, 0.92f, -0.36f}, 0.08f);
        const glm::vec3 top = headBase + glm::vec3(-0.02f, 0.5f, 0.0f);
        addHorn(mesh, top + glm::vec3(0, 0, 0.17f), top + glm::vec3(-0.08f, 0.26f, 0.3f), 0.06f);
        addHorn(mesh, top + glm::vec3(0, 0, -0.17f), top + glm::vec3(-0.08f, 0.26f, -0.3f), 0.06f);
    }
    return {mesh};
}

size_t triangleCount(const std::vector<Mesh>& meshes) {
    size_t count = 0;
    for (const Mesh& m : meshes) count += m.triangles.size();
    return count;
}

}  // namespace artgen

// ModelsTree.cpp -- the temptation tree: fifteen leaf clusters of alpha-cut cards and a branching trunk (mesh 15).
#include "Atlas.h"
#include "Models.h"
#include "Noise.h"

#include <cmath>
#include <iterator>
#include <string>

#include <glm/gtc/constants.hpp>

namespace artgen {

namespace {

constexpr int clusterCount = 15;
constexpr int cardsPerCluster = 32;

// Trunk centre line: a gentle S-bend, so the tree does not look turned on a lathe.
glm::vec3 trunkCentre(float y) { return {0.25f * std::sin(y * 0.35f), y, 0.18f * std::sin(y * 0.22f + 1.0f)}; }

// Cluster centres: a ring of six low on the crown, five higher, three near the top and one crowning it.
std::vector<glm::vec3> clusterCentres() {
    std::vector<glm::vec3> centres;
    const struct Layer {
        int count;
        float height, radius, phase;
    } layers[] = {{6, 7.6f, 3.1f, 0.0f}, {5, 9.7f, 2.5f, 0.6f}, {3, 11.4f, 1.4f, 0.3f}, {1, 12.5f, 0.0f, 0.0f}};
    for (const Layer& layer : layers) {
        for (int i = 0; i < layer.count; ++i) {
            const float angle = layer.phase + glm::two_pi<float>() * static_cast<float>(i) / static_cast<float>(layer.count);
            centres.push_back(trunkCentre(layer.height) + glm::vec3(std::cos(angle) * layer.radius, 0.0f,
                                                                    std::sin(angle) * layer.radius));
        }
    }
    return centres;
}

// Cards scattered in a squashed ball around the centre, each turned mostly outwards so the cluster
// catches the light like one leafy mass.
Mesh buildCluster(const glm::vec3& centre, int index, Rng& rng) {
    Mesh mesh;
    mesh.name = "leaves" + std::to_string(index);
    const float clusterRadius = 1.25f;
    for (int c = 0; c < cardsPerCluster; ++c) {
        glm::vec3 offset;
        do {
            offset = glm::vec3(rng.range(-1.0f, 1.0f), rng.range(-1.0f, 1.0f), rng.range(-1.0f, 1.0f));
        } while (glm::length(offset) > 1.0f);
        offset *= glm::vec3(clusterRadius, clusterRadius * 0.75f, clusterRadius);
        const glm::vec3 outward = glm::normalize(offset + glm::vec3(0.0f, 0.35f, 0.0f) + 0.3f * glm::vec3(rng.range(-1, 1), rng.range(-1, 1), rng.range(-1, 1)));
        const glm::vec3 helper = std::fabs(outward.y) < 0.95f ? glm::vec3(0, 1, 0) : glm::vec3(1, 0, 0);
        glm::vec3 right = glm::normalize(glm::cross(helper, outward));
        glm::vec3 up = glm::cross(outward, right);
        const float spin = rng.range(-0.6f, 0.6f);
        const glm::vec3 r = std::cos(spin) * right + std::sin(spin) * up;
        const glm::vec3 u = glm::cross(outward, r);
        const float half = rng.range(0.62f, 0.85f);
        const glm::vec3 p = centre + offset;
        const UvRect& sprig = atlas::leafSprig[rng.below(4)];
        const Vertex a{p - r * half + u * half, sprig.at(0, 0)};
        const Vertex b{p + r * half + u * half, sprig.at(1, 0)};
        const Vertex cc{p + r * half - u * half, sprig.at(1, 1)};
        const Vertex d{p - r * half - u * half, sprig.at(0, 1)};
        mesh.addQuadFacingAway(a, b, cc, d, p - outward);
    }
    return mesh;
}

// A branch as a four-sided tapering loft from the trunk to the underside of a cluster, closed at both ends.
void addBranch(Mesh& mesh, const glm::vec3& from, const glm::vec3& to, float radius) {
    const glm::vec3 axis = glm::normalize(to - from);
    const glm::vec3 side = glm::normalize(glm::cross(axis, glm::vec3(0, 1, 0)) + glm::vec3(1e-4f, 0, 0));
    const glm::vec3 other = glm::cross(axis, side);
    const auto ring = [&](const glm::vec3& c, float r) {
        std::vector<glm::vec3> points;
        for (int i = 0; i < 4; ++i) {
            const float angle = glm::half_pi<float>() * static_cast<float>(i);
            points.push_back(c + r * (std::cos(angle) * side + std::sin(angle) * other));
        }
        return points;
    };
    const glm::vec3 mid = glm::mix(from, to, 0.55f) + glm::vec3(0.0f, 0.25f, 0.0f);
    addLoft(mesh, {ring(from, radius), ring(mid, radius * 0.65f), ring(to, radius * 0.3f)}, {1.4f, 0.8f, 0.0f},
            UvRect{0.0f, 0.0f, 0.5f, 1.0f}, true, true, UvRect{0.0f, 0.0f, 0.2f, 0.2f});
}

Mesh buildTrunk(const std::vector<glm::vec3>& clusters) {
    Mesh mesh;
    mesh.name = "trunk";
    const float heights[] = {0.0f, 0.45f, 2.0f, 4.0f, 6.0f, 8.0f, 10.0f, 11.6f, 12.4f};
    const float radii[] = {0.8f, 0.52f, 0.44f, 0.4f, 0.34f, 0.27f, 0.19f, 0.1f, 0.0f};
    std::vector<std::vector<glm::vec3>> rings;
    std::vector<float> ringT;
    for (size_t k = 0; k < std::size(heights); ++k) {
        if (radii[k] <= 0.0f)
            rings.emplace_back(6, trunkCentre(heights[k]));
        else
            rings.push_back(ellipseRing(trunkCentre(heights[k]), radii[k], radii[k] * 0.92f, 6));
        ringT.push_back((12.4f - heights[k]) / 3.1f);  // bark repeats every 3.1 units up the trunk
    }
    addLoft(mesh, rings, ringT, UvRect{0.0f, 0.0f, 2.0f, 1.0f}, true, false, UvRect{0.0f, 0.0f, 0.2f, 0.2f});
    // One branch to each of the six low clusters and to every second cluster of the middle layer.
    for (size_t i = 0; i < clusters.size(); ++i) {
        const bool low = i < 6;
        const bool middleEven = i >= 6 && i <= 10 && i % 2 == 0;
        if (!low && !middleEven) continue;
        const float startHeight = i < 6 ? 5.4f + 0.25f * static_cast<float>(i % 3) : 7.8f;
        const glm::vec3 target = clusters[i] - glm::vec3(0.0f, 0.5f, 0.0f);
        const glm::vec3 from = trunkCentre(startHeight);
        addBranch(mesh, from, from + (target - from) * 0.78f, i < 6 ? 0.2f : 0.15f);
    }
    return mesh;
}

}  // namespace

std::vector<Mesh> buildTree() {
    Rng rng(0x7EEE);
    const std::vector<glm::vec3> centres = clusterCentres();
    std::vector<Mesh> meshes;
    for (int i = 0; i < clusterCount; ++i) meshes.push_back(buildCluster(centres[static_cast<size_t>(i)], i, rng));
    meshes.push_back(buildTrunk(centres));  // index 15: drawn on its own with the bark
    return meshes;
}

}  // namespace artgen

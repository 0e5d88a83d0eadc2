// ModelsWorld.cpp -- the moai, the holy grenade, the grenade's building ring, the settlement wall and the fence;
// every part a closed solid wound outwards, undersides included.
#include "Atlas.h"
#include "Models.h"

#include <algorithm>
#include <cmath>

#include <glm/gtc/constants.hpp>

namespace artgen {

namespace {

// Smooth bump that is 1 at `centre` and falls to 0 at `centre` +- `width`.
float bump(float x, float centre, float width) {
    const float t = std::fabs(x - centre) / width;
    return t >= 1.0f ? 0.0f : 0.5f + 0.5f * std::cos(t * glm::pi<float>());
}

// Carved relief of the moai's face, added along +x (front) or z (ears) at angle theta and height y.
glm::vec3 moaiRelief(float theta, float y) {
    const float front = std::fabs(theta) < 0.01f ? 1.0f : (std::fabs(theta) < 0.4f ? 0.35f : 0.0f);
    const float nearFront = bump(theta, 0.0f, 0.85f);
    float dx = 0.0f;
    // Long nose: grows towards its tip at y ~ 91, tucked under into the nostrils.
    if (y > 86.0f && y < 120.0f) dx += front * (y < 91.0f ? (y - 86.0f) * 1.6f : (120.0f - y) * 0.28f);
    dx += nearFront * 4.5f * bump(y, 127.0f, 5.0f);                         // heavy brow
    dx -= bump(std::fabs(theta), 0.55f, 0.4f) * 4.0f * bump(y, 116.0f, 6.0f);  // deep eye sockets
    dx += front * 3.0f * bump(y, 80.0f, 4.5f);                             // pouting lips
    dx += nearFront * 6.5f * bump(y, 66.0f, 6.0f);                         // jutting chin
    const float side = bump(std::fabs(theta), glm::half_pi<float>(), 0.45f);
    const float ear = side * 3.5f * (y > 96.0f && y < 132.0f ? 1.0f : 0.0f);
    return {dx, 0.0f, theta > 0.0f ? ear : -ear};
}

void addCross(Mesh& mesh) {
    addBox(mesh, {-0.07f, 1.0f, -0.07f}, {0.07f, 1.74f, 0.07f}, stretchedUv(atlas::grenadeCross), true);
    addBox(mesh, {-0.07f, 1.42f, -0.28f}, {0.07f, 1.56f, 0.28f}, stretchedUv(atlas::grenadeCross), true);
}

}  // namespace

std::vector<Mesh> buildMoai() {
    Mesh mesh;
    mesh.name = "moai";
    // Height, half-depth (x) and half-width (z) of each ring, from the base to the flat top of the head.
    const struct RingShape {
        float y, depth, width;
    } shapes[] = {{0, 20, 29},    {10, 21, 30},   {28, 22, 31},   {44, 22, 31},  {54, 19, 27},  {60, 14, 21},
                  {66, 17, 22},   {72, 18, 22},   {77, 18, 22.5f}, {82, 18.5f, 22.5f}, {88, 19, 23}, {93, 19, 23},
                  {100, 19.5f, 23}, {108, 20, 23}, {116, 20, 23},  {121, 20, 23}, {127, 20, 23},  {134, 19.5f, 22.5f},
                  {141, 19, 21.5f}, {147, 17, 19}, {150, 14, 16}};
    constexpr int columns = 16;
    std::vector<std::vector<glm::vec3>> rings;
    std::vector<float> ringT;
    for (const RingShape& s : shapes) {
        std::vector<glm::vec3> ring;
        for (int i = 0; i < columns; ++i) {
            const float theta = -glm::pi<float>() + glm::two_pi<float>() * static_cast<float>(i) / columns;
            glm::vec3 p(std::cos(theta) * s.depth, s.y, std::sin(theta) * s.width);
            p += moaiRelief(theta, s.y);
            ring.push_back(p);
        }
        rings.push_back(ring);
        ringT.push_back(1.0f - s.y / atlas::moaiHeight);
    }
    addLoft(mesh, rings, ringT, atlas::moaiWrap, true, true, atlas::moaiTop);  // closed underneath too
    return {mesh};
}

std::vector<Mesh> buildGrenade() {
    constexpr float radius = 0.92f;
    constexpr int columns = 16;
    constexpr int bands = 10;
    Mesh orb;
    orb.name = "orb";
    std::vector<std::vector<glm::vec3>> rings;
    std::vector<float> ringT;
    for (int k = 0; k <= bands; ++k) {
        const float latitude = -glm::half_pi<float>() + glm::pi<float>() * static_cast<float>(k) / bands;
        const float r = radius * std::cos(latitude);
        const float y = radius * std::sin(latitude);
        if (k == 0 || k == bands)
            rings.emplace_back(columns, glm::vec3(0.0f, y, 0.0f));
        else
            rings.push_back(ellipseRing({0.0f, y, 0.0f}, r, r, columns));
        ringT.push_back(1.0f - static_cast<float>(k) / bands);
    }
    addLoft(orb, rings, ringT, atlas::grenadeOrb, false, false, atlas::grenadeOrb);

    Mesh trim;
    trim.name = "cross";
    addLoft(trim,
            {ellipseRing({0, 0.8f, 0}, 0.36f, 0.36f, 8), ellipseRing({0, 0.98f, 0}, 0.34f, 0.34f, 8),
             ellipseRing({0, 1.04f, 0}, 0.27f, 0.27f, 8)},
            {1.0f, 0.3f, 0.0f}, atlas::grenadeCollar, true, true, atlas::grenadeCollar);
    addCross(trim);
    // A ruby set in the front (+x) of the orb: an octahedron half sunk into the surface.
    const glm::vec3 c(radius + 0.02f, 0.0f, 0.0f);
    const float g = 0.12f;
    const glm::vec3 tips[6] = {c + glm::vec3(g, 0, 0), c - glm::vec3(g, 0, 0), c + glm::vec3(0, g, 0),
                               c - glm::vec3(0, g, 0), c + glm::vec3(0, 0, g), c - glm::vec3(0, 0, g)};
    const int faces[8][3] = {{0, 2, 4}, {0, 4, 3}, {0, 3, 5}, {0, 5, 2}, {1, 2, 4}, {1, 4, 3}, {1, 3, 5}, {1, 5, 2}};
    for (const auto& f : faces) {
        const UvRect& r = atlas::grenadeJewel;
        trim.addFacingAway(Vertex{tips[f[0]], r.at(0.5f, 0.5f)}, Vertex{tips[f[1]], r.at(0.1f, 0.1f)},
                           Vertex{tips[f[2]], r.at(0.9f, 0.2f)}, c);
    }
    return {orb, trim};
}

std::vector<Mesh> buildGrenadeBorder() {
    Mesh mesh;
    mesh.name = "ring";
    constexpr int segments = 48;
    constexpr float inner = 312.0f, outer = 333.0f, height = 3.0f;
    for (int i = 0; i < segments; ++i) {
        const float a0 = glm::two_pi<float>() * static_cast<float>(i) / segments;
        // The last segment ends exactly where the first begins, so the ring closes without a crack.
        const float a1 = glm::two_pi<float>() * static_cast<float>((i + 1) % segments) / segments;
        const glm::vec3 d0(std::cos(a0), 0.0f, std::sin(a0)), d1(std::cos(a1), 0.0f, std::sin(a1));
        const float s0 = static_cast<float>(i) / 6.0f, s1 = static_cast<float>(i + 1) / 6.0f;
        const glm::vec3 up(0.0f, height, 0.0f);
        const Vertex io0{d0 * inner + up, {s0, 0.0f}}, io1{d1 * inner + up, {s1, 0.0f}};
        const Vertex oo0{d0 * outer + up, {s0, 0.3f}}, oo1{d1 * outer + up, {s1, 0.3f}};
        const Vertex ob0{d0 * outer, {s0, 1.0f}}, ob1{d1 * outer, {s1, 1.0f}};
        const Vertex ib0{d0 * inner, {s0, 1.0f}}, ib1{d1 * inner, {s1, 1.0f}};
        const glm::vec3 mid = (d0 + d1) * 0.5f * ((inner + outer) * 0.5f) + up * 0.5f;
        mesh.addQuadFacingAway(io0, io1, oo1, oo0, mid - up);              // top
        mesh.addQuadFacingAway(oo0, oo1, ob1, ob0, mid - (d0 + d1) * 5.0f);  // outer side
        mesh.addQuadFacingAway(io0, io1, ib1, ib0, mid + (d0 + d1) * 5.0f);  // inner side
        mesh.addQuadFacingAway(ib0, ib1, ob1, ob0, mid + up);                // underside, on the ground
    }
    return {mesh};
}

std::vector<Mesh> buildWall() {
    Mesh mesh;
    mesh.name = "wall";
    // The settlement's walking square has half-width 307 / 66.42 = 4.62 units: nothing may reach inside it.
    constexpr float outer = 5.0f, thickness = 0.26f, height = 0.5f, merlonHeight = 0.14f;
    constexpr float towerInner = 4.64f, towerOuter = 5.12f, towerHeight = 0.78f;
    const BoxUv uv = tiledUv(0.5f);
    const float inner = outer - thickness;
    // Four runs between the corner towers, each with a row of merlons along its outer edge.
    for (int side = 0; side < 4; ++side) {
        const auto place = [side](float along, float across, float y) {
            switch (side) {
                case 0: return glm::vec3(along, y, across);
                case 1: return glm::vec3(across, y, -along);
                case 2: return glm::vec3(-along, y, -across);
                default: return glm::vec3(-across, y, along);
            }
        };
        const auto box = [&](float a0, float a1, float c0, float c1, float y0, float y1) {
            const glm::vec3 p = place(a0, c0, y0), q = place(a1, c1, y1);
            addBox(mesh, glm::min(p, q), glm::max(p, q), uv, true);
        };
        box(-towerInner, towerInner, inner, outer, 0.0f, height);
        constexpr int merlons = 7;
        const float step = 2.0f * towerInner / merlons;
        for (int m = 0; m < merlons; ++m) {
            const float a = -towerInner + step * (static_cast<float>(m) + 0.25f);
            box(a, a + step * 0.5f, outer - thickness * 0.55f, outer, height, height + merlonHeight);
        }
        // Corner tower at the end of this run, standing out of the wall, with a merlon on each corner.
        box(towerInner, towerOuter, towerInner, towerOuter, 0.0f, towerHeight);
        const float m = (towerOuter - towerInner) * 0.35f;
        for (const float a : {towerInner, towerOuter - m})
            for (const float c : {towerInner, towerOuter - m}) box(a, a + m, c, c + m, towerHeight, towerHeight + merlonHeight);
    }
    return {mesh};
}

std::vector<Mesh> buildGroundBorder() {
    Mesh mesh;
    mesh.name = "fence";
    // Panel texture: one repeat per unit along x, the full height of the picture from top to bottom; the
    // picture's post column is centred on each post.
    const BoxUv panelUv = [](const glm::vec3& p, const glm::vec3&, const glm::vec2&) {
        return glm::vec2(p.x + 7.0f + atlas::borderPostWidth * 0.5f, 1.0f - p.y);
    };
    addBox(mesh, {-7.0f, 0.08f, -0.025f}, {7.0f, 0.94f, 0.025f}, panelUv, true);
    // Posts every unit, mapped onto the bright post column at the left of the picture.
    const BoxUv postUv = [](const glm::vec3& p, const glm::vec3&, const glm::vec2& st) {
        return glm::vec2(st.x * atlas::borderPostWidth, 1.0f - std::min(p.y, 1.0f) * 0.98f);
    };
    for (int i = 0; i <= 14; ++i) {
        const float x = static_cast<float>(i) - 7.0f;
        addBox(mesh, {x - 0.06f, 0.0f, -0.06f}, {x + 0.06f, 1.1f, 0.06f}, postUv, true);
    }
    return {mesh};
}

}  // namespace artgen

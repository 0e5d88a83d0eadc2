// TexturesEffects.cpp -- lightning bolts, the projected strike marks and the sky-box faces.
#include "Noise.h"
#include "Textures.h"

#include <algorithm>
#include <cmath>

#include <glm/glm.hpp>
#include <glm/gtc/constants.hpp>

namespace artgen {

namespace {

constexpr float pi = glm::pi<float>();

Color boltGlow(bool smite) { return smite ? rgb(0.6f, 0.5f, 1.0f) : rgb(1.0f, 0.78f, 0.25f); }

// The bolt picture: a jagged line from the top to the bottom that meets itself across the seam, with
// a few forks. The colour carries the glow; alpha is the union of all strokes.
Image paintBolt(bool smite) {
    const int width = 64, height = 256;
    Image image(width, height, rgb(0, 0, 0, 0));
    Rng rng(smite ? 0xB017 : 0xB012);
    const Color glow = boltGlow(smite);
    const Color inner = smite ? rgb(0.85f, 0.85f, 1.0f) : rgb(1.0f, 0.95f, 0.7f);
    constexpr int segments = 14;
    std::vector<glm::vec2> path;
    for (int i = 0; i <= segments; ++i) {
        const float y = static_cast<float>(height) * i / segments;
        const float x = (i == 0 || i == segments) ? width * 0.5f : width * 0.5f + rng.range(-13.0f, 13.0f);
        path.emplace_back(x, y);
    }
    std::vector<std::pair<glm::vec2, glm::vec2>> strokes;
    for (int i = 0; i < segments; ++i) strokes.emplace_back(path[i], path[i + 1]);
    std::vector<std::pair<glm::vec2, glm::vec2>> forks;
    for (int f = 0; f < 4; ++f) {
        glm::vec2 p = path[static_cast<size_t>(1 + rng.below(segments - 2))];
        const float side = rng.uniform() < 0.5f ? -1.0f : 1.0f;
        for (int s = 0; s < 3; ++s) {
            const glm::vec2 q = p + glm::vec2(side * rng.range(3.0f, 7.0f), rng.range(8.0f, 16.0f));
            forks.emplace_back(p, q);
            p = q;
        }
    }
    const auto layer = [&](const std::vector<std::pair<glm::vec2, glm::vec2>>& lines, float w, const Color& c) {
        for (const auto& l : lines) drawLine(image, l.first.x, l.first.y, l.second.x, l.second.y, w, c, true);
    };
    layer(strokes, 22.0f, rgb(glow.r, glow.g, glow.b, 0.18f));
    layer(strokes, 10.0f, rgb(glow.r, glow.g, glow.b, 0.55f));
    layer(forks, 5.0f, rgb(glow.r, glow.g, glow.b, 0.5f));
    layer(strokes, 4.5f, inner);
    layer(forks, 1.8f, inner);
    layer(strokes, 1.8f, rgb(1, 1, 1));
    return image;
}

// Direction of the cube-map texel at column i, file row j of a face (OpenGL's face orientation).
glm::vec3 cubeDirection(int face, int i, int j, int size) {
    const float sc = 2.0f * (static_cast<float>(i) + 0.5f) / size - 1.0f;
    const float tc = 2.0f * (static_cast<float>(j) + 0.5f) / size - 1.0f;
    switch (face) {
        case 0: return {1.0f, -tc, -sc};
        case 1: return {-1.0f, -tc, sc};
        case 2: return {sc, 1.0f, tc};
        case 3: return {sc, -1.0f, -tc};
        case 4: return {sc, -tc, 1.0f};
        default: return {-sc, -tc, -1.0f};
    }
}

// A fair-weather sky as a function of direction: blue overhead, pale at the horizon, a warm sun,
// flat clouds on a plane above the world and a line of hazy hills.
Color skyColour(const glm::vec3& direction) {
    const glm::vec3 d = glm::normalize(direction);
    const float e = d.y;
    Color c = e >= 0.0f ? mix(rgb(0.8f, 0.87f, 0.95f), rgb(0.2f, 0.42f, 0.85f), std::pow(e, 0.55f))
                        : mix(rgb(0.72f, 0.78f, 0.82f), rgb(0.36f, 0.43f, 0.4f), std::pow(-e, 0.5f));
    const glm::vec3 sun = glm::normalize(glm::vec3(0.45f, 0.55f, -0.7f));
    const float facing = std::max(glm::dot(d, sun), 0.0f);
    c = add(c, scale(rgb(1.0f, 0.85f, 0.6f), std::pow(facing, 24.0f) * 0.45f + std::pow(facing, 400.0f) * 0.6f));
    if (facing > 0.9993f) c = rgb(1.0f, 1.0f, 0.92f);
    if (e > 0.0f) {
        const float px = d.x / (e + 0.12f), pz = d.z / (e + 0.12f);
        const float n = fbm3(px * 1.1f + 7.0f, pz * 1.1f - 3.0f, 0.5f, 5, 101);
        const float cover = smoothstep(0.52f, 0.72f, n) * smoothstep(0.02f, 0.2f, e);
        const float shade = fbm3(px * 1.1f + 7.3f, pz * 1.1f - 2.7f, 0.5f, 3, 101);
        const Color cloud = mix(rgb(0.72f, 0.75f, 0.84f), rgb(1.0f, 0.99f, 0.96f), clamp01(0.4f + shade * 0.6f + facing * 0.3f));
        c = mix(c, cloud, cover * 0.9f);
    }
    // Distant hills: two ragged bands just above the horizon, continuous all the way round; the far
    // range is paler with the haze.
    if (e < 0.16f) {
        const glm::vec2 around = glm::normalize(glm::vec2(d.x, d.z) + glm::vec2(1e-6f, 0.0f));
        const float far = 0.02f + 0.11f * std::pow(fbm3(around.x * 2.5f, around.y * 2.5f, 5.0f, 5, 103), 1.6f);
        const float near = 0.008f + 0.07f * std::pow(fbm3(around.x * 4.0f, around.y * 4.0f, 2.0f, 5, 102), 1.8f);
        c = mix(c, mix(rgb(0.55f, 0.64f, 0.72f), rgb(0.66f, 0.74f, 0.8f), clamp01(e / far)), smoothstep(far + 0.003f, far - 0.003f, e) * 0.8f);
        c = mix(c, mix(rgb(0.36f, 0.48f, 0.42f), rgb(0.46f, 0.58f, 0.56f), clamp01(e / near)), smoothstep(near + 0.003f, near - 0.003f, e) * 0.9f);
    }
    return c;
}

}  // namespace

// The colour is stored straight (not multiplied by coverage) and the clear texels carry the glow colour,
// so filtering at the bolt's soft edge blends towards the glow, not towards black.
Image paintLightning(bool smite) {
    Image image = paintBolt(smite);
    const Color glow = boltGlow(smite);
    for (Color& c : image.pixels) {
        if (c.a <= 0.0f)
            c = rgb(glow.r, glow.g, glow.b, 0.0f);
        else
            c = rgb(std::min(c.r / c.a, 1.0f), std::min(c.g / c.a, 1.0f), std::min(c.b / c.a, 1.0f), c.a);
    }
    return image;
}

Image paintLightningAlpha(bool smite) {
    Image image = paintBolt(smite);
    for (Color& c : image.pixels) c = rgb(c.a, c.a, c.a, c.a);
    return image;
}

Image paintProjection(bool smite) {
    const int size = 256;
    Image image(size, size, rgb(0, 0, 0));
    const float centre = size * 0.5f;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const float dx = (x + 0.5f - centre) / centre, dy = (y + 0.5f - centre) / centre;
            const float r = std::sqrt(dx * dx + dy * dy);
            const float angle = std::atan2(dy, dx);
            Color c = rgb(0, 0, 0);
            if (smite) {
                // Scorch: white-hot centre, an orange shock ring and ragged rays between them.
                const float rays = std::pow(0.5f + 0.5f * std::sin(angle * 9.0f + 2.0f * std::sin(angle * 4.0f)), 6.0f);
                const float core = std::exp(-r * r * 40.0f);
                const float ring = std::exp(-std::pow((r - 0.55f) / 0.06f, 2.0f));
                const float rayGlow = rays * smoothstep(0.75f, 0.1f, r) * 0.8f;
                c = add(scale(rgb(1.0f, 0.95f, 0.8f), core), scale(rgb(1.0f, 0.45f, 0.08f), ring + rayGlow));
                c = add(c, scale(rgb(0.8f, 0.15f, 0.02f), smoothstep(0.8f, 0.2f, r) * 0.35f));
            } else {
                // Target: two rings, four ticks and a dot, in a cool glow.
                const float ring1 = std::exp(-std::pow((r - 0.62f) / 0.03f, 2.0f));
                const float ring2 = std::exp(-std::pow((r - 0.32f) / 0.025f, 2.0f));
                const float axis = std::min(std::fabs(dx), std::fabs(dy));
                const float ticks = smoothstep(0.025f, 0.0f, axis) * (r > 0.4f && r < 0.8f ? 1.0f : 0.0f);
                const float dot = std::exp(-r * r * 300.0f);
                const float halo = smoothstep(0.85f, 0.0f, r) * 0.18f;
                c = add(scale(rgb(0.35f, 0.9f, 1.0f), ring1 + ring2 + ticks + halo), scale(rgb(1.0f, 0.95f, 0.6f), dot));
            }
            // Nothing reaches the frame: the clamped picture must end in black on every side.
            const float frame = smoothstep(0.92f, 0.84f, std::max(std::fabs(dx), std::fabs(dy)));
            image.at(x, y) = scale(c, frame);
        }
    return image;
}

std::array<Image, 6> paintSky(int size) {
    std::array<Image, 6> faces{Image(size, size), Image(size, size), Image(size, size),
                               Image(size, size), Image(size, size), Image(size, size)};
    for (int face = 0; face < 6; ++face)
        for (int y = 0; y < size; ++y) {
            const int fileRow = size - 1 - y;  // pictures are stored bottom-up
            for (int x = 0; x < size; ++x) faces[face].at(x, y) = skyColour(cubeDirection(face, x, fileRow, size));
        }
    return faces;
}

}  // namespace artgen

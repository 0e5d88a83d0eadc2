// TexturesNature.cpp -- meadow, fence glow, leaves, bark, wall stone and the moai's tuff: value noise plus strokes.
#include "Atlas.h"
#include "Noise.h"
#include "Textures.h"

#include <algorithm>
#include <cmath>

#include <glm/gtc/constants.hpp>

namespace artgen {

namespace {

constexpr float pi = glm::pi<float>();

float fx(int x, int size) { return (static_cast<float>(x) + 0.5f) / static_cast<float>(size); }

// Leaf blade between base and tip with the given width, drawn with anti-aliased edges into the colour
// picture (shaded, with a midrib) and as coverage into the mask.
void drawLeaf(Image& colour, Image& mask, const glm::vec2& base, const glm::vec2& tip, float width, const Color& tone,
              const glm::vec4& clip) {
    const glm::vec2 axis = tip - base;
    const float length = glm::length(axis);
    const glm::vec2 along = axis / length;
    const glm::vec2 across(-along.y, along.x);
    const float reach = width * 0.5f + 2.0f;
    const int x0 = static_cast<int>(std::max(clip.x, std::min(base.x, tip.x) - reach));
    const int x1 = static_cast<int>(std::min(clip.z, std::max(base.x, tip.x) + reach));
    const int y0 = static_cast<int>(std::max(clip.y, std::min(base.y, tip.y) - reach));
    const int y1 = static_cast<int>(std::min(clip.w, std::max(base.y, tip.y) + reach));
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) {
            const glm::vec2 p = glm::vec2(static_cast<float>(x) + 0.5f, static_cast<float>(y) + 0.5f) - base;
            const float a = glm::dot(p, along) / length;
            const float b = glm::dot(p, across);
            if (a <= 0.0f || a >= 1.0f) continue;
            const float halfWidth = width * 0.5f * std::pow(std::sin(pi * std::pow(a, 0.8f)), 0.7f);
            const float coverage = clamp01(halfWidth - std::fabs(b) + 0.5f);
            if (coverage <= 0.0f) continue;
            const float side = b > 0.0f ? 1.08f : 0.86f;
            const float vein = 0.92f + 0.08f * std::sin(a * 40.0f - std::fabs(b) * 0.9f);
            Color c = scale(tone, side * vein * (0.8f + 0.35f * a));
            c = mix(c, rgb(0.75f, 0.85f, 0.45f), clamp01(1.0f - std::fabs(b) / 0.9f) * 0.55f);  // midrib
            c = mix(c, rgb(0.72f, 0.7f, 0.2f), smoothstep(0.75f, 1.0f, a) * 0.25f);            // sunlit tip
            blendPixel(colour, x, y, c, coverage);
            blendPixel(mask, x, y, rgb(1, 1, 1), coverage);
        }
    }
}

// The colour picture's ground is a leafy mid green, close to the leaves themselves: filtered texels at
// the cut-out edge mix with it, and with transparency off the whole card shows it.
void paintLeaves(Image& colour, Image& mask) {
    const int size = colour.width;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const float n = fbm2(fx(x, size) * 8.0f, fx(y, size) * 8.0f, 3, 8, 8, 41);
            colour.at(x, y) = mix(rgb(0.16f, 0.34f, 0.1f), rgb(0.26f, 0.48f, 0.14f), n);
        }
    const Color tones[] = {rgb(0.26f, 0.55f, 0.16f), rgb(0.34f, 0.62f, 0.18f), rgb(0.2f, 0.46f, 0.12f),
                           rgb(0.42f, 0.64f, 0.2f)};
    Rng rng(0x1EAF);
    const float cell = static_cast<float>(size) / 2.0f;
    for (int q = 0; q < 4; ++q) {
        const glm::vec2 corner((q % 2) * cell, (q / 2) * cell);
        const glm::vec4 clip(corner.x + 2.0f, corner.y + 2.0f, corner.x + cell - 2.0f, corner.y + cell - 2.0f);
        const glm::vec2 start = corner + glm::vec2(cell * 0.5f, cell * 0.97f);
        const glm::vec2 end = corner + glm::vec2(cell * (0.5f + rng.range(-0.12f, 0.12f)), cell * 0.1f);
        const glm::vec2 bend(rng.range(-0.15f, 0.15f) * cell, 0.0f);
        const auto twig = [&](float t) { return glm::mix(start, end, t) + bend * std::sin(t * pi); };
        // Leaves first from the top down, so lower leaves overlap the ones above like a real sprig.
        const int leaves = 9;
        for (int i = leaves - 1; i >= 0; --i) {
            const float t = 0.12f + 0.88f * static_cast<float>(i) / static_cast<float>(leaves - 1);
            const glm::vec2 base = twig(t);
            const glm::vec2 direction = glm::normalize(twig(std::min(t + 0.05f, 1.0f)) - twig(std::max(t - 0.05f, 0.0f)));
            const float side = (i % 2 == 0) ? 1.0f : -1.0f;
            const float angle = (i == leaves - 1) ? 0.0f : side * rng.range(0.6f, 1.0f);
            const glm::vec2 dir(direction.x * std::cos(angle) - direction.y * std::sin(angle),
                                direction.x * std::sin(angle) + direction.y * std::cos(angle));
            const float length = cell * rng.range(0.3f, 0.4f) * (i == leaves - 1 ? 0.9f : 1.0f);
            drawLeaf(colour, mask, base, base + dir * length, length * rng.range(0.36f, 0.46f), tones[rng.below(4)], clip);
        }
        for (int s = 0; s < 16; ++s) {
            const glm::vec2 a = twig(static_cast<float>(s) / 16.0f), b = twig(static_cast<float>(s + 1) / 16.0f);
            drawLine(colour, a.x, a.y, b.x, b.y, 2.6f - 0.1f * s, rgb(0.3f, 0.2f, 0.1f));
            drawLine(mask, a.x, a.y, b.x, b.y, 2.6f - 0.1f * s, rgb(1, 1, 1));
        }
    }
}

}  // namespace

Image paintGround() {
    const int size = 512;
    Image image(size, size);
    const Color deep = rgb(0.2f, 0.4f, 0.13f), light = rgb(0.42f, 0.58f, 0.2f), dirt = rgb(0.45f, 0.35f, 0.22f);
    std::vector<float> bare(static_cast<size_t>(size) * size);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const float u = fx(x, size), v = fx(y, size);
            // Variation at a few scales, none of them as large as the tile, so the repeat does not show
            // from high above; bare earth in small scattered patches.
            const float broad = fbm2(u * 6.0f, v * 6.0f, 5, 6, 6, 11);
            const float detail = fbm2(u * 48.0f, v * 48.0f, 2, 48, 48, 12);
            const float patch = smoothstep(0.66f, 0.74f, fbm2(u * 10.0f, v * 10.0f, 4, 10, 10, 13));
            Color c = scale(mix(deep, light, 0.3f + 0.4f * smoothstep(0.3f, 0.7f, broad)), 0.85f + 0.3f * detail);
            c = mix(c, scale(dirt, 0.85f + 0.3f * detail), patch * 0.7f);
            image.at(x, y) = c;
            bare[static_cast<size_t>(y) * size + x] = patch;
        }
    }
    Rng rng(0x6A55);
    // Grass tufts: short, mostly upright strokes in lighter and darker greens, wrapping at the edges.
    for (int i = 0; i < 9000; ++i) {
        const float x = rng.range(0.0f, size), y = rng.range(0.0f, size);
        const float angle = rng.range(-0.6f, 0.6f) - pi * 0.5f;
        const float length = rng.range(2.5f, 6.5f);
        const Color c = mix(rgb(0.16f, 0.34f, 0.09f), rgb(0.55f, 0.7f, 0.26f), rng.uniform());
        drawLine(image, x, y, x + std::cos(angle) * length, y + std::sin(angle) * length, 1.1f, rgb(c.r, c.g, c.b, 0.45f),
                 true);
    }
    // Flowers in the grass, and a few soft glowing motes that give the meadow its half glow.
    const Color petals[] = {rgb(1.0f, 0.95f, 0.8f), rgb(1.0f, 0.85f, 0.3f), rgb(0.75f, 0.8f, 1.0f), rgb(0.95f, 0.6f, 0.75f)};
    for (int i = 0; i < 420; ++i) {
        const float x = rng.range(0.0f, size), y = rng.range(0.0f, size);
        const Color c = petals[rng.below(4)];
        if (bare[static_cast<size_t>(y) * size + static_cast<size_t>(x)] > 0.3f) continue;
        drawDisc(image, x, y, rng.range(0.7f, 1.4f), c, true);
    }
    for (int i = 0; i < 70; ++i) {
        const float x = rng.range(0.0f, size), y = rng.range(0.0f, size);
        drawDisc(image, x, y, rng.range(3.0f, 6.0f), rgb(0.85f, 0.95f, 0.55f, 0.12f), true);
        drawDisc(image, x, y, 1.0f, rgb(1.0f, 1.0f, 0.8f, 0.6f), true);
    }
    return image;
}

Image paintGroundBorderGlow() {
    const int size = 256;
    Image image(size, size);
    const int post = static_cast<int>(atlas::borderPostWidth * size);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const float u = fx(x, size), v = fx(y, size);
            const float flow = fbm2(u * 8.0f, v * 8.0f, 3, 8, 0, 21);
            const float wave = 0.5f + 0.5f * std::sin(2.0f * pi * (u * 3.0f + v * 1.5f + flow * 0.8f));
            const float glow = std::pow(v, 2.2f) * 0.9f + 0.25f * wave * v;
            const float rail = smoothstep(0.03f, 0.0f, std::fabs(v - 0.08f)) + smoothstep(0.03f, 0.0f, std::fabs(v - 0.9f));
            Color c = add(rgb(0.02f, 0.09f, 0.12f), scale(rgb(0.3f, 0.85f, 1.0f), glow));
            c = add(c, scale(rgb(0.9f, 0.95f, 1.0f), rail * 0.8f));
            if (x < post) {
                const float edge = std::sin(pi * (static_cast<float>(x) + 0.5f) / static_cast<float>(post));
                c = scale(mix(rgb(1.0f, 0.85f, 0.45f), rgb(1.0f, 1.0f, 0.9f), v), 0.55f + 0.45f * edge);
            }
            image.at(x, y) = c;
        }
    }
    return image;
}

Image paintLeafColour() {
    Image colour(256, 256), mask(256, 256, rgb(0, 0, 0, 0));
    paintLeaves(colour, mask);
    return colour;
}

Image paintLeafAlpha() {
    Image colour(256, 256), mask(256, 256, rgb(0, 0, 0, 0));
    paintLeaves(colour, mask);
    return mask;
}

Image paintBark() {
    const int size = 256;
    Image image(size, size);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const float u = fx(x, size), v = fx(y, size);
            // Furrows run up the trunk, wandering with two layers of warp; plates break across them.
            const float warp = fbm2(u * 4.0f, v * 2.0f, 4, 4, 2, 31) * 2.2f + fbm2(u * 16.0f, v * 4.0f, 2, 16, 4, 34) * 0.5f;
            const float ridge = 0.5f + 0.5f * std::sin(2.0f * pi * (u * 7.0f + warp));
            uint32_t plate = 0;
            const float crack = cellDistance2(u * 7.0f + warp * 0.3f, v * 5.0f, 7, 35, &plate);
            const float fibre = fbm2(u * 48.0f, v * 6.0f, 3, 48, 6, 32);
            const float moss = smoothstep(0.68f, 0.76f, fbm2(u * 4.0f, v * 4.0f, 4, 4, 4, 33));
            const float tone = 0.85f + 0.3f * static_cast<float>(plate & 255) / 255.0f;
            Color c = mix(rgb(0.2f, 0.13f, 0.08f), rgb(0.52f, 0.42f, 0.32f), std::pow(ridge, 1.3f) * 0.65f + fibre * 0.35f);
            c = scale(c, tone * (0.5f + 0.5f * smoothstep(0.05f, 0.35f, ridge)) * (0.65f + 0.35f * smoothstep(0.04f, 0.16f, crack)));
            image.at(x, y) = mix(c, rgb(0.32f, 0.42f, 0.16f), moss * 0.55f * ridge);
        }
    }
    return image;
}

Image paintStone(bool good) {
    const int size = 256, rows = 4, rowHeight = size / rows;
    Image image(size, size);
    Rng rng(good ? 0x5A11 : 0xBAD5);
    // Block layout per course: start positions that wrap around the picture's width.
    std::vector<std::vector<int>> starts(rows);
    std::vector<int> offsets(rows);
    for (int r = 0; r < rows; ++r) {
        offsets[r] = rng.below(size);
        int x = 0;
        while (x < size) {
            starts[r].push_back(x);
            x += 48 + rng.below(56);
            if (size - x < 40) x = size;
        }
    }
    const Color base = good ? rgb(0.8f, 0.66f, 0.46f) : rgb(0.2f, 0.19f, 0.23f);
    const Color mortar = good ? rgb(0.5f, 0.44f, 0.36f) : rgb(0.28f, 0.5f, 0.12f);
    for (int y = 0; y < size; ++y) {
        const int r = y / rowHeight;
        const float ly = static_cast<float>(y % rowHeight) + 0.5f;
        for (int x = 0; x < size; ++x) {
            const int xr = (x + offsets[r]) % size;
            size_t k = 0;
            while (k + 1 < starts[r].size() && starts[r][k + 1] <= xr) ++k;
            const int start = starts[r][k];
            const int end = k + 1 < starts[r].size() ? starts[r][k + 1] : size;
            const float lx = static_cast<float>(xr - start) + 0.5f;
            const float width = static_cast<float>(end - start);
            const float u = fx(x, size), v = fx(y, size);
            const float chip = (fbm2(u * 24.0f, v * 24.0f, 3, 24, 24, good ? 51u : 52u) - 0.5f) * 5.0f;
            const float top = ly + chip, bottom = rowHeight - ly + chip, left = lx + chip, right = width - lx + chip;
            const float edge = std::min(std::min(top, bottom), std::min(left, right));
            const uint32_t h = hashCell(static_cast<int>(k), r, 0, good ? 5u : 6u);
            const float tint = 0.82f + 0.3f * static_cast<float>(h & 255) / 255.0f;
            const float grain = fbm2(u * 16.0f, v * 16.0f, 4, 16, 16, good ? 53u : 54u);
            Color c = scale(base, tint * (0.8f + 0.4f * grain));
            if (good) c = mix(c, rgb(0.85f, 0.55f, 0.3f), static_cast<float>((h >> 8) & 255) / 255.0f * 0.25f);
            const float bevel = 1.0f + 0.22f * (smoothstep(7.0f, 0.0f, top) + smoothstep(7.0f, 0.0f, left)) -
                                0.3f * (smoothstep(7.0f, 0.0f, bottom) + smoothstep(7.0f, 0.0f, right));
            c = scale(c, bevel);
            const float joint = smoothstep(3.2f, 1.8f, edge);
            Color m = scale(mortar, 0.8f + 0.4f * grain);
            if (!good) m = add(m, scale(rgb(0.3f, 0.6f, 0.1f), 0.5f * grain));  // sickly glow in the joints
            c = mix(c, m, joint);
            if (good) {
                const float moss = smoothstep(0.62f, 0.72f, fbm2(u * 6.0f, v * 6.0f, 4, 6, 6, 55)) * smoothstep(12.0f, 2.0f, bottom);
                c = mix(c, rgb(0.35f, 0.48f, 0.18f), moss * 0.8f);
            } else {
                // Stains running down from the joints, purple rot in the hollows.
                const float drip = std::pow(fbm2(u * 40.0f, v * 3.0f, 3, 40, 3, 56), 3.0f) * smoothstep(rowHeight * 0.9f, 0.0f, top);
                c = mix(c, rgb(0.35f, 0.55f, 0.12f), drip * 0.8f);
                c = mix(c, rgb(0.3f, 0.12f, 0.3f), smoothstep(0.6f, 0.75f, fbm2(u * 5.0f, v * 5.0f, 4, 5, 5, 57)) * 0.5f);
            }
            image.at(x, y) = c;
        }
    }
    if (!good) {
        // Cracks: wandering strokes with a faint green light in them.
        for (int i = 0; i < 14; ++i) {
            float x = rng.range(0.0f, size), y = rng.range(0.0f, size);
            float angle = rng.range(0.0f, 2.0f * pi);
            for (int s = 0; s < 12; ++s) {
                const float nx = x + std::cos(angle) * 5.0f, ny = y + std::sin(angle) * 5.0f;
                drawLine(image, x, y, nx, ny, 1.6f, rgb(0.05f, 0.05f, 0.06f), true);
                drawLine(image, x, y, nx, ny, 0.6f, rgb(0.45f, 0.85f, 0.2f, 0.7f), true);
                x = nx;
                y = ny;
                angle += rng.range(-0.7f, 0.7f);
            }
        }
    }
    return image;
}

Image paintMoai() {
    const int size = 256;
    Image image(size, size);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const float u = fx(x, size), v = fx(y, size);
            const float tone = fbm2(u * 6.0f, v * 6.0f, 5, 6, 0, 61);
            const float streak = fbm2(u * 40.0f, v * 2.0f, 3, 40, 0, 62);
            uint32_t h = 0;
            const float pore = cellDistance2(u * 48.0f, v * 48.0f, 48, 63, &h);
            Color c = mix(rgb(0.34f, 0.31f, 0.29f), rgb(0.58f, 0.53f, 0.47f), tone);
            c = scale(c, 0.85f + 0.25f * streak);
            if ((h & 7) == 0) c = scale(c, 0.6f + 0.4f * smoothstep(0.05f, 0.25f, pore));
            const float lichen = smoothstep(0.7f, 0.76f, fbm2(u * 16.0f, v * 16.0f, 4, 16, 0, 64));
            c = mix(c, rgb(0.72f, 0.64f, 0.4f), lichen * 0.5f);
            image.at(x, y) = c;
        }
    }
    // The face sits around u = 0.5 (front); picture rows follow the height (row 0 = top of the head).
    const auto row = [](float height) { return (1.0f - height / atlas::moaiHeight) * 256.0f; };
    const float cx = 128.0f;
    const Color shadow = rgb(0.1f, 0.08f, 0.08f, 0.5f);
    const Color light = rgb(0.7f, 0.64f, 0.56f, 0.45f);
    // A carved line: dark groove with a lit lip just above it.
    const auto carve = [&](float x0, float y0, float x1, float y1, float width) {
        drawLine(image, x0, y0 - width * 0.6f, x1, y1 - width * 0.6f, width * 0.8f, light);
        drawLine(image, x0, y0, x1, y1, width, shadow);
    };
    for (int side = -1; side <= 1; side += 2) {
        const float ex = cx + side * 22.0f;
        for (int k = -3; k <= 3; ++k) drawDisc(image, ex + k * 2.5f, row(116.0f) + std::fabs(k) * 0.6f, 7.5f - std::fabs(k), shadow);
        carve(ex - 13.0f, row(124.0f), ex + 13.0f, row(125.5f), 3.0f);                      // brow
        drawDisc(image, cx + side * 5.0f, row(88.0f), 3.0f, rgb(0.08f, 0.07f, 0.07f, 0.8f));  // nostril
        carve(cx + side * 7.0f, row(96.0f), cx + side * 14.0f, row(86.0f), 2.0f);            // nose wing
        // Long ears on the sides (u = 0.25 and 0.75).
        const float ear = cx + side * 64.0f;
        carve(ear - 5.0f, row(130.0f), ear - 6.0f, row(100.0f), 2.2f);
        carve(ear + 5.0f, row(130.0f), ear + 4.0f, row(100.0f), 2.2f);
        carve(ear - 6.0f, row(100.0f), ear + 4.0f, row(100.0f), 2.2f);
        // Arms hang down the sides, the forearms bend forward over the belly, long fingers meet in front.
        carve(ear - side * 4.0f, row(54.0f), ear - side * 8.0f, row(24.0f), 2.5f);
        carve(ear + side * 6.0f, row(54.0f), ear + side * 2.0f, row(28.0f), 2.5f);
        carve(ear - side * 8.0f, row(24.0f), cx + side * 16.0f, row(14.0f), 2.5f);
        carve(ear + side * 2.0f, row(28.0f), cx + side * 16.0f, row(21.0f), 2.5f);
        for (int f = 0; f < 4; ++f) carve(cx + side * 16.0f, row(14.5f + 2.0f * f), cx + side * 5.0f, row(15.0f + 2.0f * f), 1.3f);
    }
    carve(cx - 12.0f, row(78.0f), cx + 12.0f, row(78.0f), 2.5f);  // lips
    carve(cx - 18.0f, row(61.0f), cx + 18.0f, row(61.0f), 3.0f);  // under the chin
    carve(cx - 60.0f, row(6.0f), cx + 60.0f, row(6.0f), 2.0f);    // loincloth belt
    return image;
}

}  // namespace artgen

// TexturesFigures.cpp -- the people's atlases (friendly and menacing) and the holy grenade's gold.
#include "Atlas.h"
#include "Noise.h"
#include "Textures.h"

#include <cmath>

#include <glm/gtc/constants.hpp>

namespace artgen {

namespace {

constexpr float pi = glm::pi<float>();

// Fills a rectangle (pixels) with a colour roughened by fbm, as if painted with a dry brush.
void paintCloth(Image& image, int x0, int y0, int x1, int y1, const Color& colour, uint32_t seed, float roughness) {
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) {
            const float n = fbm2(static_cast<float>(x) / 16.0f, static_cast<float>(y) / 16.0f, 3, 0, 0, seed);
            const float weave = 0.96f + 0.04f * std::sin(static_cast<float>(x + y) * 1.7f);
            image.at(x, y) = scale(colour, (1.0f - roughness + 2.0f * roughness * n) * weave);
        }
}

struct PersonLook {
    Color skin, robe, trim, hair, legs, shoes, eye;
};

void paintFace(Image& image, bool good, const PersonLook& look) {
    const float cx = 64.0f;  // front of the head
    for (int side = -1; side <= 1; side += 2) {
        const float ex = cx + side * 12.0f;
        if (good) {
            drawDisc(image, ex, 58.0f, 6.5f, rgb(1, 1, 1));
            drawDisc(image, ex + side * 0.5f, 59.0f, 4.0f, look.eye);
            drawDisc(image, ex + side * 0.5f, 59.0f, 2.2f, rgb(0.05f, 0.05f, 0.1f));
            drawDisc(image, ex - 1.5f, 56.5f, 1.3f, rgb(1, 1, 1));
            drawDisc(image, cx + side * 20.0f, 74.0f, 5.0f, rgb(1.0f, 0.5f, 0.5f, 0.45f));  // rosy cheeks
            drawLine(image, ex - 5.0f, 47.0f, ex + 5.0f, 46.0f, 2.0f, scale(look.hair, 0.8f));
        } else {
            drawDisc(image, ex, 60.0f, 7.0f, rgb(0.1f, 0.02f, 0.02f));
            drawDisc(image, ex, 60.5f, 4.0f, look.eye);
            drawDisc(image, ex, 60.5f, 1.8f, rgb(1.0f, 0.9f, 0.6f));
            // Angry brows slanting down towards the nose.
            drawLine(image, ex - side * 9.0f, 47.0f, ex + side * 7.0f, 54.0f, 3.5f, rgb(0.08f, 0.06f, 0.06f));
        }
    }
    if (good) {
        // A wide smile.
        for (int i = 0; i < 12; ++i) {
            const float a0 = pi * (0.15f + 0.7f * i / 12.0f), a1 = pi * (0.15f + 0.7f * (i + 1) / 12.0f);
            drawLine(image, cx + std::cos(a0) * 13.0f, 76.0f + std::sin(a0) * 9.0f, cx + std::cos(a1) * 13.0f,
                     76.0f + std::sin(a1) * 9.0f, 2.6f, rgb(0.55f, 0.15f, 0.15f));
        }
    } else {
        // A sneer turned down at the corners, with two fangs.
        for (int i = 0; i < 12; ++i) {
            const float a0 = pi * (1.15f + 0.7f * i / 12.0f), a1 = pi * (1.15f + 0.7f * (i + 1) / 12.0f);
            drawLine(image, cx + std::cos(a0) * 14.0f, 90.0f + std::sin(a0) * 7.0f, cx + std::cos(a1) * 14.0f,
                     90.0f + std::sin(a1) * 7.0f, 4.0f, rgb(0.12f, 0.02f, 0.03f));
        }
        for (int side = -1; side <= 1; side += 2) {
            const float x = cx + side * 6.0f;
            drawLine(image, x - 1.5f, 84.5f, x, 90.0f, 2.2f, rgb(0.95f, 0.92f, 0.75f));
            drawLine(image, x + 1.5f, 84.5f, x, 90.0f, 2.2f, rgb(0.95f, 0.92f, 0.75f));
        }
    }
}

}  // namespace

Image paintPerson(bool good) {
    Image image(256, 256);
    // Seen from the play view a person is a few pixels on the grass: good people wear light, warm colours that
    // read brighter than the grass, bad ones a deep crimson that reads darker and redder, neither of them green.
    const PersonLook look = good ? PersonLook{rgb(1.0f, 0.84f, 0.7f), rgb(1.0f, 0.9f, 0.3f), rgb(1.0f, 1.0f, 0.95f),
                                              rgb(0.95f, 0.5f, 0.12f), rgb(0.6f, 0.8f, 1.0f), rgb(0.5f, 0.3f, 0.15f),
                                              rgb(0.25f, 0.55f, 0.95f)}
                                 : PersonLook{rgb(0.62f, 0.5f, 0.55f), rgb(0.5f, 0.05f, 0.1f), rgb(0.08f, 0.02f, 0.03f),
                                              rgb(0.06f, 0.05f, 0.07f), rgb(0.25f, 0.03f, 0.06f), rgb(0.08f, 0.05f, 0.05f),
                                              rgb(1.0f, 0.25f, 0.05f)};
    const uint32_t seed = good ? 70u : 80u;
    // Head: hair on the crown band, skin below; the face on the front facets.
    paintCloth(image, 0, 0, 128, 128, look.skin, seed + 1, 0.08f);
    paintCloth(image, 0, 0, 128, 34, look.hair, seed + 2, 0.2f);
    Rng rng(seed);
    for (int i = 0; i < 60; ++i) {
        const float x = rng.range(0.0f, 128.0f);
        const float fringe = good ? 36.0f + 6.0f * std::sin(x * 0.3f) : 30.0f + rng.range(0.0f, 14.0f);
        drawLine(image, x, rng.range(0.0f, 20.0f), x + rng.range(-3.0f, 3.0f), fringe, good ? 2.5f : 1.8f, look.hair);
    }
    paintFace(image, good, look);
    // Robe: shoulders at the top, hips at the bottom, front crease at x = 192.
    paintCloth(image, 128, 0, 256, 128, look.robe, seed + 3, 0.12f);
    fillRect(image, 128, 0, 256, 9, look.trim);
    fillRect(image, 128, 116, 256, 128, look.trim);
    if (good) {
        drawDisc(image, 192.0f, 40.0f, 12.0f, rgb(1.0f, 0.55f, 0.1f));
        for (int r = 0; r < 10; ++r) {
            const float a = 2.0f * pi * r / 10.0f;
            drawLine(image, 192.0f + std::cos(a) * 14.0f, 40.0f + std::sin(a) * 14.0f, 192.0f + std::cos(a) * 20.0f,
                     40.0f + std::sin(a) * 20.0f, 2.5f, rgb(1.0f, 0.55f, 0.1f));
        }
        fillRect(image, 128, 62, 256, 70, rgb(0.45f, 0.65f, 0.95f));  // sash
    } else {
        for (int t = 0; t < 16; ++t) drawLine(image, 128 + t * 8.0f, 116.0f, 132 + t * 8.0f, 104.0f, 3.0f, look.trim);  // ragged hem
        drawLine(image, 180.0f, 22.0f, 192.0f, 58.0f, 4.0f, look.trim);
        drawLine(image, 204.0f, 22.0f, 192.0f, 58.0f, 4.0f, look.trim);
        drawLine(image, 180.0f, 22.0f, 204.0f, 22.0f, 4.0f, look.trim);
        drawDisc(image, 192.0f, 34.0f, 4.0f, rgb(1.0f, 0.3f, 0.05f));
    }
    // Arms: sleeves from the shoulder, the hand (mitten or claw) from the wrist down.
    paintCloth(image, 0, 128, 64, 256, look.robe, seed + 4, 0.12f);
    fillRect(image, 0, 224, 64, 230, look.trim);
    paintCloth(image, 0, 230, 64, 256, look.skin, seed + 5, 0.08f);
    if (!good)
        for (int c = 0; c < 4; ++c) drawLine(image, 8.0f + c * 16.0f, 240.0f, 12.0f + c * 16.0f, 256.0f, 3.0f, rgb(0.1f, 0.1f, 0.08f));
    // Legs with shoes.
    paintCloth(image, 64, 128, 128, 256, look.legs, seed + 6, 0.1f);
    paintCloth(image, 64, 222, 128, 256, look.shoes, seed + 7, 0.15f);
    // Horns and spikes, a patch of hair, and plain robe cloth for the robe's ends.
    for (int y = 128; y < 192; ++y)
        for (int x = 128; x < 192; ++x)
            image.at(x, y) = mix(rgb(0.6f, 0.05f, 0.05f), rgb(0.85f, 0.8f, 0.65f), static_cast<float>(y - 128) / 64.0f);
    paintCloth(image, 192, 128, 256, 256, look.hair, seed + 8, 0.2f);
    paintCloth(image, 128, 192, 192, 256, look.robe, seed + 9, 0.12f);
    return image;
}

Image paintGrenade(bool glowing) {
    Image image(256, 256);
    const Color gold = glowing ? rgb(1.0f, 0.93f, 0.62f) : rgb(0.93f, 0.7f, 0.2f);
    const Color band = glowing ? rgb(1.0f, 0.82f, 0.45f) : rgb(0.72f, 0.45f, 0.1f);
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x) {
            const float hammered = fbm2(x / 10.0f, y / 10.0f, 3, 0, 0, 91);
            const float sheen = 0.85f + 0.3f * std::pow(std::sin(pi * static_cast<float>(y % 192) / 192.0f), 0.5f);
            image.at(x, y) = scale(gold, (0.78f + 0.35f * hammered) * (y < 192 ? sheen : 1.0f));
        }
    // Bands on the orb (rows 0-191: pole to pole; x = 128 is the front): the equator and two meridians.
    const auto drawBand = [&](float x0, float y0, float x1, float y1, float width) {
        drawLine(image, x0, y0, x1, y1, width + 3.0f, scale(band, 0.6f));
        drawLine(image, x0, y0, x1, y1, width, band);
    };
    drawBand(-4.0f, 96.0f, 260.0f, 96.0f, 14.0f);
    for (int m = 0; m < 5; ++m) drawBand(m * 64.0f, 0.0f, m * 64.0f, 192.0f, 10.0f);
    Rng rng(glowing ? 93u : 92u);
    const Color gems[] = {rgb(0.85f, 0.08f, 0.1f), rgb(0.15f, 0.3f, 0.95f), rgb(0.1f, 0.7f, 0.3f)};
    for (int g = 0; g < 16; ++g) {
        const float x = 16.0f + g * 16.0f;
        if (g % 4 == 3) continue;  // where a meridian crosses the equator
        const Color c = glowing ? mix(gems[g % 3], rgb(1, 1, 1), 0.4f) : gems[g % 3];
        drawDisc(image, x, 96.0f, 4.5f, scale(c, 0.6f));
        drawDisc(image, x - 0.8f, 95.2f, 3.2f, c);
        drawDisc(image, x - 1.5f, 94.5f, 1.0f, rgb(1, 1, 1, 0.9f));
    }
    for (int m = 0; m < 5; ++m)
        for (int r = 1; r < 12; ++r)
            if (r != 6) drawDisc(image, m * 64.0f, r * 16.0f, 2.0f, glowing ? rgb(1, 1, 0.9f) : rgb(1.0f, 0.9f, 0.55f));
    // Collar: a band of beads.
    for (int i = 0; i < 16; ++i) drawDisc(image, 4.0f + i * 8.0f, 208.0f, 3.0f, scale(band, 1.2f));
    fillRect(image, 0, 192, 128, 195, scale(band, 0.7f));
    fillRect(image, 0, 221, 128, 224, scale(band, 0.7f));
    // Jewel: a ruby (a sapphire on the glowing indicator) with a highlight.
    for (int y = 224; y < 256; ++y)
        for (int x = 0; x < 128; ++x) {
            const float d = std::hypot((x - 64.0f) / 64.0f, (y - 240.0f) / 16.0f);
            const Color deep = glowing ? rgb(0.5f, 0.7f, 1.0f) : rgb(0.55f, 0.02f, 0.05f);
            image.at(x, y) = mix(mix(deep, rgb(1, 1, 1), glowing ? 0.3f : 0.0f), rgb(1.0f, 0.5f, 0.5f), clamp01(1.0f - d) * 0.6f);
        }
    // Cross: polished gold with an engraved edge.
    for (int y = 192; y < 256; ++y)
        for (int x = 128; x < 256; ++x) {
            const float s = static_cast<float>(x - 128) / 128.0f, t = static_cast<float>(y - 192) / 64.0f;
            const float edge = std::min(std::min(s, 1.0f - s) * 4.0f, std::min(t, 1.0f - t));
            image.at(x, y) = scale(gold, (0.9f + 0.3f * (1.0f - t)) * (edge < 0.08f ? 0.7f : 1.05f));
        }
    return image;
}

}  // namespace artgen

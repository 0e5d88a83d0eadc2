// Icon.cpp -- the application icon: the golden holy grenade on a night-blue rounded tile, and its PNG files.
#include "Icon.h"

#include <cmath>
#include <filesystem>
#include <vector>

#include <stb/stb_image_write.h>

namespace artgen {

namespace {

// Coverage of a rounded square of half-size h and corner radius r centred at (c, c), at pixel (x, y).
float roundedSquareCoverage(float x, float y, float c, float h, float r) {
    const float dx = std::max(std::fabs(x - c) - (h - r), 0.0f);
    const float dy = std::max(std::fabs(y - c) - (h - r), 0.0f);
    return clamp01(r - std::hypot(dx, dy) + 0.5f);
}

}  // namespace

Image paintIcon(int size) {
    Image image(size, size, rgb(0.0f, 0.0f, 0.0f, 0.0f));
    const float s = size / 256.0f;  // drawn on a 256-unit grid
    const float c = size * 0.5f;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const float px = x + 0.5f, py = y + 0.5f;
            const float coverage = roundedSquareCoverage(px, py, c, 120.0f * s, 44.0f * s);
            if (coverage <= 0.0f) continue;
            // Night blue, brighter behind the grenade.
            const float r = std::hypot(px - c, py - 140.0f * s) / (130.0f * s);
            const Color sky = mix(rgb(0.22f, 0.3f, 0.62f), rgb(0.05f, 0.07f, 0.2f), clamp01(r));
            image.at(x, y) = Color{sky.r, sky.g, sky.b, coverage};
        }
    // Halo, ball, band, neck, cross and jewel of the grenade.
    const float gx = 128.0f * s, gy = 150.0f * s;
    drawDisc(image, gx, gy, 84.0f * s, rgb(1.0f, 0.85f, 0.4f, 0.3f));
    drawDisc(image, gx, gy, 66.0f * s, rgb(0.5f, 0.3f, 0.04f));
    drawDisc(image, gx, gy, 61.0f * s, rgb(0.98f, 0.76f, 0.22f));
    drawDisc(image, gx - 20.0f * s, gy - 22.0f * s, 19.0f * s, rgb(1.0f, 0.96f, 0.75f, 0.65f));
    fillRect(image, gx - 61.0f * s, gy - 6.0f * s, gx + 61.0f * s, gy + 6.0f * s, rgb(0.72f, 0.43f, 0.08f));
    fillRect(image, gx - 18.0f * s, gy - 80.0f * s, gx + 18.0f * s, gy - 58.0f * s, rgb(0.8f, 0.55f, 0.15f));
    fillRect(image, gx - 7.0f * s, gy - 128.0f * s, gx + 7.0f * s, gy - 78.0f * s, rgb(1.0f, 0.82f, 0.3f));
    fillRect(image, gx - 26.0f * s, gy - 114.0f * s, gx + 26.0f * s, gy - 100.0f * s, rgb(1.0f, 0.82f, 0.3f));
    drawDisc(image, gx + 42.0f * s, gy, 7.0f * s, rgb(0.8f, 0.05f, 0.1f));
    return image;
}

bool writePng(const std::string& path, const Image& image) {
    std::vector<unsigned char> bytes(static_cast<size_t>(image.width) * image.height * 4);
    for (size_t i = 0; i < image.pixels.size(); ++i) {
        const Color& p = image.pixels[i];
        const float channels[4] = {p.r, p.g, p.b, p.a};
        for (int k = 0; k < 4; ++k)
            bytes[i * 4 + static_cast<size_t>(k)] = static_cast<unsigned char>(std::lround(clamp01(channels[k]) * 255.0f));
    }
    return stbi_write_png(path.c_str(), image.width, image.height, 4, bytes.data(), image.width * 4) != 0;
}

const std::vector<int>& iconSizes() {
    static const std::vector<int> sizes = {16, 24, 32, 48, 64, 128, 256};
    return sizes;
}

bool writeIcons(const std::string& folder) {
    bool ok = true;
    for (const int size : iconSizes()) {
        const std::filesystem::path dir = std::filesystem::path(folder) / "hicolor" /
                                          (std::to_string(size) + "x" + std::to_string(size)) / "apps";
        std::error_code error;
        std::filesystem::create_directories(dir, error);
        ok = writePng((dir / "omnivex.png").string(), paintIcon(size)) && ok;
    }
    return ok;
}

}  // namespace artgen

// Image.cpp -- float pictures, anti-aliased dots and strokes, and the uncompressed TGA writer.
#include "Image.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace artgen {

Color rgb(float r, float g, float b, float a) { return Color{r, g, b, a}; }

Color rgb255(int r, int g, int b) { return Color{r / 255.0f, g / 255.0f, b / 255.0f, 1.0f}; }

Color mix(const Color& x, const Color& y, float t) {
    return Color{x.r + (y.r - x.r) * t, x.g + (y.g - x.g) * t, x.b + (y.b - x.b) * t, x.a + (y.a - x.a) * t};
}

Color scale(const Color& c, float factor) { return Color{c.r * factor, c.g * factor, c.b * factor, c.a}; }

Color add(const Color& x, const Color& y) { return Color{x.r + y.r, x.g + y.g, x.b + y.b, x.a}; }

float clamp01(float v) { return v < 0.0f ? 0.0f : (v > 1.0f ? 1.0f : v); }

float smoothstep(float edge0, float edge1, float x) {
    const float t = clamp01((x - edge0) / (edge1 - edge0));
    return t * t * (3.0f - 2.0f * t);
}

Image::Image(int w, int h, const Color& fill) : width(w), height(h), pixels(static_cast<size_t>(w) * h, fill) {}

Color& Image::atWrapped(int x, int y) {
    x %= width;
    y %= height;
    if (x < 0) x += width;
    if (y < 0) y += height;
    return at(x, y);
}

void blendPixel(Image& image, int x, int y, const Color& colour, float coverage, bool wrap) {
    if (!wrap && (x < 0 || y < 0 || x >= image.width || y >= image.height)) return;
    Color& p = wrap ? image.atWrapped(x, y) : image.at(x, y);
    const float t = clamp01(coverage) * colour.a;
    p.r += (colour.r - p.r) * t;
    p.g += (colour.g - p.g) * t;
    p.b += (colour.b - p.b) * t;
    p.a = p.a + t * (1.0f - p.a);
}

void drawDisc(Image& image, float cx, float cy, float radius, const Color& colour, bool wrap) {
    const int x0 = static_cast<int>(std::floor(cx - radius - 1.0f));
    const int x1 = static_cast<int>(std::ceil(cx + radius + 1.0f));
    const int y0 = static_cast<int>(std::floor(cy - radius - 1.0f));
    const int y1 = static_cast<int>(std::ceil(cy + radius + 1.0f));
    for (int y = y0; y <= y1; ++y) {
        for (int x = x0; x <= x1; ++x) {
            const float dx = static_cast<float>(x) + 0.5f - cx;
            const float dy = static_cast<float>(y) + 0.5f - cy;
            const float coverage = clamp01(radius + 0.5f - std::sqrt(dx * dx + dy * dy));
            if (coverage > 0.0f) blendPixel(image, x, y, colour, coverage, wrap);
        }
    }
}

void drawLine(Image& image, float x0, float y0, float x1, float y1, float width, const Color& colour, bool wrap) {
    const float half = width * 0.5f;
    const int minX = static_cast<int>(std::floor(std::min(x0, x1) - half - 1.0f));
    const int maxX = static_cast<int>(std::ceil(std::max(x0, x1) + half + 1.0f));
    const int minY = static_cast<int>(std::floor(std::min(y0, y1) - half - 1.0f));
    const int maxY = static_cast<int>(std::ceil(std::max(y0, y1) + half + 1.0f));
    const float dx = x1 - x0, dy = y1 - y0;
    const float lengthSquared = std::max(dx * dx + dy * dy, 1e-6f);
    for (int y = minY; y <= maxY; ++y) {
        for (int x = minX; x <= maxX; ++x) {
            const float px = static_cast<float>(x) + 0.5f - x0;
            const float py = static_cast<float>(y) + 0.5f - y0;
            const float t = std::clamp((px * dx + py * dy) / lengthSquared, 0.0f, 1.0f);
            const float ex = px - t * dx, ey = py - t * dy;
            const float coverage = clamp01(half + 0.5f - std::sqrt(ex * ex + ey * ey));
            if (coverage > 0.0f) blendPixel(image, x, y, colour, coverage, wrap);
        }
    }
}

void fillRect(Image& image, float x0, float y0, float x1, float y1, const Color& colour) {
    for (int y = std::max(0, static_cast<int>(std::floor(y0))); y < std::min(image.height, static_cast<int>(std::ceil(y1))); ++y) {
        for (int x = std::max(0, static_cast<int>(std::floor(x0))); x < std::min(image.width, static_cast<int>(std::ceil(x1))); ++x) {
            const float cx = clamp01(std::min(static_cast<float>(x) + 1.0f, x1) - std::max(static_cast<float>(x), x0));
            const float cy = clamp01(std::min(static_cast<float>(y) + 1.0f, y1) - std::max(static_cast<float>(y), y0));
            blendPixel(image, x, y, colour, cx * cy);
        }
    }
}

namespace {

unsigned char toByte(float v) { return static_cast<unsigned char>(std::lround(clamp01(v) * 255.0f)); }

}  // namespace

bool writeTga(const std::string& path, const Image& image, bool withAlpha) {
    const int bytesPerPixel = withAlpha ? 4 : 3;
    std::vector<unsigned char> bytes(18 + static_cast<size_t>(image.width) * image.height * bytesPerPixel);
    bytes[2] = 2;  // uncompressed true colour
    bytes[12] = static_cast<unsigned char>(image.width & 0xFF);
    bytes[13] = static_cast<unsigned char>(image.width >> 8);
    bytes[14] = static_cast<unsigned char>(image.height & 0xFF);
    bytes[15] = static_cast<unsigned char>(image.height >> 8);
    bytes[16] = static_cast<unsigned char>(bytesPerPixel * 8);
    bytes[17] = withAlpha ? 8 : 0;  // alpha bits; origin bottom-left
    size_t offset = 18;
    for (int fileRow = 0; fileRow < image.height; ++fileRow) {
        const int y = image.height - 1 - fileRow;
        for (int x = 0; x < image.width; ++x) {
            const Color& c = image.at(x, y);
            bytes[offset++] = toByte(c.b);
            bytes[offset++] = toByte(c.g);
            bytes[offset++] = toByte(c.r);
            if (withAlpha) bytes[offset++] = toByte(c.a);
        }
    }
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}

}  // namespace artgen

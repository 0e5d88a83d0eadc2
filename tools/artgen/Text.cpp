// Text.cpp -- glyph rasterisation with stb_truetype (the implementation lives in libstb).
#include "Text.h"

#include <cmath>
#include <cstdio>

#include <stb/stb_truetype.h>

namespace artgen {

namespace {

// The code points of UTF-8 text; a byte that starts no valid sequence stands for its Latin-1 character.
std::vector<int> codePoints(const std::string& text) {
    std::vector<int> points;
    const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
    for (size_t i = 0; i < text.size();) {
        const int lead = byte(i);
        const int length = lead >= 0xF5 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 ? 2 : 1;
        bool valid = length > 1 && i + static_cast<size_t>(length) <= text.size();
        int point = length == 1 ? lead : lead & (0x3F >> (length - 1));
        for (int k = 1; valid && k < length; ++k) {
            valid = (byte(i + k) & 0xC0) == 0x80;
            point = (point << 6) | (byte(i + k) & 0x3F);
        }
        if (valid) {
            points.push_back(point);
            i += static_cast<size_t>(length);
        } else {
            points.push_back(lead);
            ++i;
        }
    }
    return points;
}

}  // namespace

Font::Font(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return;
    unsigned char buffer[65536];
    size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) data.insert(data.end(), buffer, buffer + n);
    std::fclose(file);
    info = std::make_unique<stbtt_fontinfo>();
    valid = !data.empty() && stbtt_InitFont(info.get(), data.data(), stbtt_GetFontOffsetForIndex(data.data(), 0)) != 0;
}

Font::~Font() = default;

float Font::measure(const std::string& text, float pixelHeight) const {
    if (!valid) return 0.0f;
    const stbtt_fontinfo* font = info.get();
    const float scale = stbtt_ScaleForPixelHeight(font, pixelHeight);
    const std::vector<int> points = codePoints(text);
    float x = 0.0f;
    for (size_t i = 0; i < points.size(); ++i) {
        const int c = points[i];
        int advance = 0, bearing = 0;
        stbtt_GetCodepointHMetrics(font, c, &advance, &bearing);
        x += static_cast<float>(advance) * scale;
        if (i + 1 < points.size()) x += scale * static_cast<float>(stbtt_GetCodepointKernAdvance(font, c, points[i + 1]));
    }
    return x;
}

float Font::draw(Image& image, const std::string& text, float x, float baseline, float pixelHeight,
                 const Color& colour) const {
    if (!valid) return x;
    const stbtt_fontinfo* font = info.get();
    const float scale = stbtt_ScaleForPixelHeight(font, pixelHeight);
    const std::vector<int> points = codePoints(text);
    for (size_t i = 0; i < points.size(); ++i) {
        const int c = points[i];
        int advance = 0, bearing = 0;
        stbtt_GetCodepointHMetrics(font, c, &advance, &bearing);
        const float shiftX = x - std::floor(x);
        int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
        stbtt_GetCodepointBitmapBoxSubpixel(font, c, scale, scale, shiftX, 0.0f, &x0, &y0, &x1, &y1);
        const int w = x1 - x0, h = y1 - y0;
        if (w > 0 && h > 0) {
            std::vector<unsigned char> glyph(static_cast<size_t>(w) * h);
            stbtt_MakeCodepointBitmapSubpixel(font, glyph.data(), w, h, w, scale, scale, shiftX, 0.0f, c);
            const int left = static_cast<int>(std::floor(x)) + x0;
            const int top = static_cast<int>(std::lround(baseline)) + y0;
            for (int gy = 0; gy < h; ++gy)
                for (int gx = 0; gx < w; ++gx)
                    blendPixel(image, left + gx, top + gy, colour, glyph[static_cast<size_t>(gy) * w + gx] / 255.0f);
        }
        x += static_cast<float>(advance) * scale;
        if (i + 1 < points.size()) x += scale * static_cast<float>(stbtt_GetCodepointKernAdvance(font, c, points[i + 1]));
    }
    return x;
}

}  // namespace artgen

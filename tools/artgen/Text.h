// Text.h -- TrueType text drawn into pictures with stb_truetype (anti-aliased, kerned).
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "Image.h"

struct stbtt_fontinfo;

namespace artgen {

class Font {
public:
    // Reads a TTF file; ok() is false when it cannot be read or parsed.
    explicit Font(const std::string& path);
    ~Font();
    Font(const Font&) = delete;
    Font& operator=(const Font&) = delete;
    bool ok() const { return valid; }

    // Width in pixels of a line of single-byte text (ASCII; bytes above 127 as Latin-1) at the given pixel height.
    float measure(const std::string& text, float pixelHeight) const;
    // Draws a line with its baseline at y, starting at x; returns the pen position after the last glyph.
    float draw(Image& image, const std::string& text, float x, float baseline, float pixelHeight,
               const Color& colour) const;

private:
    std::vector<unsigned char> data;       // the TTF file; info points into it
    std::unique_ptr<stbtt_fontinfo> info;
    bool valid = false;
};

}  // namespace artgen

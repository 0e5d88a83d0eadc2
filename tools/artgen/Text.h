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

    // Width in pixels of a line of UTF-8 text at the given pixel height (a byte that starts no valid UTF-8
    // sequence stands for its Latin-1 character).
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

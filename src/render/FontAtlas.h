// FontAtlas.h -- the overlay's font, baked at build time by tools/fontgen into a generated source file: a
// signed-distance atlas (one byte a texel) with the metrics of each glyph and the font's kerning pairs.
#pragma once

#include <cstddef>
#include <cstdint>

// One glyph, in pixels of the baked size. Its atlas rectangle starts at (x, y) from the atlas's top-left;
// drawn with the pen at (penX, baseline), the rectangle's top-left lands at (penX + xOffset, baseline + yOffset),
// y growing downwards. Blanks (the space) have a 0 x 0 rectangle and only an advance.
struct FontGlyph {
    uint32_t codepoint;
    uint16_t x, y, width, height;
    int16_t xOffset, yOffset;
    float advance;
};

// The pen moves by `adjust` baked pixels more between `left` and `right`.
struct FontKerning {
    uint32_t left, right;
    float adjust;
};

struct FontAtlas {
    float bakedHeight;  // pixel height the glyphs were baked at: ascent - descent
    float ascent;       // above the baseline (positive)
    float descent;      // below the baseline (negative)
    float lineGap;
    int padding;        // distance-field texels around each glyph's outline
    int onEdge;         // texel value on the outline: more is inside
    float stepsPerPixel;  // texel value change per baked pixel of distance
    int width, height;  // of the atlas
    const unsigned char* pixels;  // width x height, rows from the top
    const FontGlyph* glyphs;      // sorted by codepoint
    std::size_t glyphCount;
    const FontKerning* kerning;   // sorted by left, then right
    std::size_t kerningCount;
};

extern const FontAtlas fontAtlas;

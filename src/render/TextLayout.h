// TextLayout.h -- measuring, breaking and placing text in the baked overlay font, without GL. Sizes are pixel
// heights from the font's ascent to its descent; positions are window pixels from the top-left corner, y down.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include <glm/glm.hpp>

struct FontGlyph;

// The codepoints of UTF-8 text; each malformed byte becomes U+FFFD.
std::vector<uint32_t> decodeUtf8(std::string_view text);

// The glyph of a codepoint, or nullptr when the font has none.
const FontGlyph* findGlyph(uint32_t codepoint);
// The glyph drawn for a codepoint: its own, or the question mark.
const FontGlyph& glyphFor(uint32_t codepoint);
// The codepoints of the text that the font lacks (drawn as question marks), in order, each once.
std::vector<uint32_t> missingGlyphs(std::string_view utf8);

float textAscent(float pixelSize);   // above the baseline
float textDescent(float pixelSize);  // below the baseline (positive)
float lineHeight(float pixelSize);   // baseline to baseline
float capitalHeight(float pixelSize);  // of the capitals and digits above the baseline

// The pen's travel over one line: advances and kerning (a line break ends the measure).
float textWidth(std::string_view utf8, float pixelSize);

// The text in lines no wider than maxWidth: breaks at spaces, and at '\n' always; a word wider than a line is
// broken between its letters. Spaces at a break are dropped. Empty text gives no lines.
std::vector<std::string> wrapText(std::string_view utf8, float pixelSize, float maxWidth);

// One glyph's rectangle on the window and in the atlas (0..1, v down), the distance field's padding included.
struct GlyphQuad {
    glm::vec2 topLeft = glm::vec2(0.0f);
    glm::vec2 bottomRight = glm::vec2(0.0f);
    glm::vec2 atlasTopLeft = glm::vec2(0.0f);
    glm::vec2 atlasBottomRight = glm::vec2(0.0f);
};

// The quads of one line with its pen starting at `pen` (x at the left, y on the baseline); blanks give none.
std::vector<GlyphQuad> layoutLine(std::string_view utf8, const glm::vec2& pen, float pixelSize);

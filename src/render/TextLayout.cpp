// TextLayout.cpp -- UTF-8 decoding, glyph and kerning look-up, measuring, line breaking and glyph placement.
#include "render/TextLayout.h"

#include <algorithm>

#include "render/FontAtlas.h"

namespace {

constexpr uint32_t replacement = 0xFFFD;

float scaleFor(float pixelSize) { return pixelSize / fontAtlas.bakedHeight; }

// Extra pen travel between two glyphs, in baked pixels.
float kerningBetween(uint32_t left, uint32_t right) {
    const FontKerning* begin = fontAtlas.kerning;
    const FontKerning* end = fontAtlas.kerning + fontAtlas.kerningCount;
    const FontKerning* found = std::lower_bound(begin, end, std::make_pair(left, right),
                                                [](const FontKerning& pair, const std::pair<uint32_t, uint32_t>& key) {
                                                    return pair.left != key.first ? pair.left < key.first
                                                                                   : pair.right < key.second;
                                                });
    return found != end && found->left == left && found->right == right ? found->adjust : 0.0f;
}

// Pen travel over codepoints [begin, end), in baked pixels.
float bakedWidth(const std::vector<uint32_t>& codepoints, std::size_t begin, std::size_t end) {
    float width = 0.0f;
    for (std::size_t i = begin; i < end; ++i) {
        width += glyphFor(codepoints[i]).advance;
        if (i + 1 < end) width += kerningBetween(glyphFor(codepoints[i]).codepoint, glyphFor(codepoints[i + 1]).codepoint);
    }
    return width;
}

void appendUtf8(std::string& text, uint32_t codepoint) {
    if (codepoint < 0x80) {
        text += static_cast<char>(codepoint);
    } else if (codepoint < 0x800) {
        text += static_cast<char>(0xC0 | (codepoint >> 6));
        text += static_cast<char>(0x80 | (codepoint & 0x3F));
    } else if (codepoint < 0x10000) {
        text += static_cast<char>(0xE0 | (codepoint >> 12));
        text += static_cast<char>(0x80 | ((codepoint >> 6) & 0x3F));
        text += static_cast<char>(0x80 | (codepoint & 0x3F));
    } else {
        text += static_cast<char>(0xF0 | (codepoint >> 18));
        text += static_cast<char>(0x80 | ((codepoint >> 12) & 0x3F));
        text += static_cast<char>(0x80 | ((codepoint >> 6) & 0x3F));
        text += static_cast<char>(0x80 | (codepoint & 0x3F));
    }
}

std::string encodeUtf8(const std::vector<uint32_t>& codepoints, std::size_t begin, std::size_t end) {
    std::string text;
    for (std::size_t i = begin; i < end; ++i) appendUtf8(text, codepoints[i]);
    return text;
}

}  // namespace

std::vector<uint32_t> decodeUtf8(std::string_view text) {
    std::vector<uint32_t> codepoints;
    std::size_t i = 0;
    while (i < text.size()) {
        const unsigned char lead = static_cast<unsigned char>(text[i]);
        int length = 0;
        uint32_t codepoint = 0;
        if (lead < 0x80) {
            length = 1;
            codepoint = lead;
        } else if (lead >= 0xC2 && lead < 0xE0) {
            length = 2;
            codepoint = lead & 0x1Fu;
        } else if (lead >= 0xE0 && lead < 0xF0) {
            length = 3;
            codepoint = lead & 0x0Fu;
        } else if (lead >= 0xF0 && lead < 0xF5) {
            length = 4;
            codepoint = lead & 0x07u;
        }
        bool valid = length > 0 && i + static_cast<std::size_t>(length) <= text.size();
        for (int k = 1; valid && k < length; ++k) {
            const unsigned char next = static_cast<unsigned char>(text[i + static_cast<std::size_t>(k)]);
            valid = (next & 0xC0) == 0x80;
            codepoint = (codepoint << 6) | (next & 0x3Fu);
        }
        // Overlong forms, surrogates and values beyond Unicode are malformed too.
        if (valid && ((length == 3 && codepoint < 0x800) || (length == 4 && (codepoint < 0x10000 || codepoint > 0x10FFFF)) ||
                      (codepoint >= 0xD800 && codepoint <= 0xDFFF)))
            valid = false;
        if (valid) {
            codepoints.push_back(codepoint);
            i += static_cast<std::size_t>(length);
        } else {
            codepoints.push_back(replacement);
            ++i;
        }
    }
    return codepoints;
}

const FontGlyph* findGlyph(uint32_t codepoint) {
    const FontGlyph* begin = fontAtlas.glyphs;
    const FontGlyph* end = fontAtlas.glyphs + fontAtlas.glyphCount;
    const FontGlyph* found = std::lower_bound(
        begin, end, codepoint, [](const FontGlyph& glyph, uint32_t key) { return glyph.codepoint < key; });
    return found != end && found->codepoint == codepoint ? found : nullptr;
}

const FontGlyph& glyphFor(uint32_t codepoint) {
    const FontGlyph* glyph = findGlyph(codepoint);
    if (glyph) return *glyph;
    return *findGlyph('?');
}

std::vector<uint32_t> missingGlyphs(std::string_view utf8) {
    std::vector<uint32_t> missing;
    for (uint32_t codepoint : decodeUtf8(utf8))
        if (codepoint != '\n' && !findGlyph(codepoint) &&
            std::find(missing.begin(), missing.end(), codepoint) == missing.end())
            missing.push_back(codepoint);
    return missing;
}

float textAscent(float pixelSize) { return fontAtlas.ascent * scaleFor(pixelSize); }
float textDescent(float pixelSize) { return -fontAtlas.descent * scaleFor(pixelSize); }
float lineHeight(float pixelSize) {
    return (fontAtlas.ascent - fontAtlas.descent + fontAtlas.lineGap) * scaleFor(pixelSize);
}

float capitalHeight(float pixelSize) {
    const FontGlyph& capital = glyphFor('H');  // its field starts `padding` texels above the letter
    return static_cast<float>(-capital.yOffset - fontAtlas.padding) * scaleFor(pixelSize);
}

float textWidth(std::string_view utf8, float pixelSize) {
    const std::vector<uint32_t> codepoints = decodeUtf8(utf8);
    const auto lineEnd = std::find(codepoints.begin(), codepoints.end(), static_cast<uint32_t>('\n'));
    return bakedWidth(codepoints, 0, static_cast<std::size_t>(lineEnd - codepoints.begin())) * scaleFor(pixelSize);
}

std::vector<std::string> wrapText(std::string_view utf8, float pixelSize, float maxWidth) {
    std::vector<std::string> lines;
    const std::vector<uint32_t> codepoints = decodeUtf8(utf8);
    const float limit = maxWidth / scaleFor(pixelSize);  // in baked pixels
    std::size_t start = 0;
    while (start <= codepoints.size()) {
        std::size_t paragraphEnd = start;
        while (paragraphEnd < codepoints.size() && codepoints[paragraphEnd] != '\n') ++paragraphEnd;
        // Greedy breaking of codepoints [start, paragraphEnd).
        std::size_t lineStart = start;
        bool emitted = false;
        while (lineStart < paragraphEnd) {
            while (lineStart < paragraphEnd && codepoints[lineStart] == ' ') ++lineStart;
            if (lineStart == paragraphEnd) break;
            std::size_t lineEnd = lineStart;   // end of the last whole word that fits
            std::size_t cursor = lineStart;
            while (cursor < paragraphEnd) {
                std::size_t wordEnd = cursor;
                while (wordEnd < paragraphEnd && codepoints[wordEnd] == ' ') ++wordEnd;
                while (wordEnd < paragraphEnd && codepoints[wordEnd] != ' ') ++wordEnd;
                if (bakedWidth(codepoints, lineStart, wordEnd) > limit) break;
                lineEnd = cursor = wordEnd;
            }
            if (lineEnd == lineStart) {  // the first word alone is too wide: as many letters as fit, at least one
                lineEnd = lineStart + 1;
                while (lineEnd < paragraphEnd && codepoints[lineEnd] != ' ' &&
                       bakedWidth(codepoints, lineStart, lineEnd + 1) <= limit)
                    ++lineEnd;
            }
            lines.push_back(encodeUtf8(codepoints, lineStart, lineEnd));
            emitted = true;
            lineStart = lineEnd;
        }
        if (!emitted && paragraphEnd < codepoints.size()) lines.emplace_back();  // an empty line between breaks
        start = paragraphEnd + 1;
    }
    return lines;
}

std::vector<GlyphQuad> layoutLine(std::string_view utf8, const glm::vec2& pen, float pixelSize) {
    std::vector<GlyphQuad> quads;
    const float scale = scaleFor(pixelSize);
    const glm::vec2 atlasSize(static_cast<float>(fontAtlas.width), static_cast<float>(fontAtlas.height));
    const std::vector<uint32_t> codepoints = decodeUtf8(utf8);
    float x = pen.x;
    for (std::size_t i = 0; i < codepoints.size() && codepoints[i] != '\n'; ++i) {
        const FontGlyph& glyph = glyphFor(codepoints[i]);
        if (glyph.width > 0 && glyph.height > 0) {
            GlyphQuad quad;
            quad.topLeft = glm::vec2(x + glyph.xOffset * scale, pen.y + glyph.yOffset * scale);
            quad.bottomRight = quad.topLeft + glm::vec2(glyph.width, glyph.height) * scale;
            quad.atlasTopLeft = glm::vec2(glyph.x, glyph.y) / atlasSize;
            quad.atlasBottomRight = glm::vec2(glyph.x + glyph.width, glyph.y + glyph.height) / atlasSize;
            quads.push_back(quad);
        }
        x += glyph.advance * scale;
        if (i + 1 < codepoints.size()) x += kerningBetween(glyph.codepoint, glyphFor(codepoints[i + 1]).codepoint) * scale;
    }
    return quads;
}

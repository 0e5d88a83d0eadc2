// TextLayoutTest.cpp -- the baked font and text layout without GL: every text the status display shows has its
// glyphs, UTF-8 is decoded with malformed bytes replaced, widths scale and kern, lines break within their width.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "game/StatusDisplay.h"
#include "render/FontAtlas.h"
#include "render/TextLayout.h"

namespace {

std::string joined(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += (text.empty() ? "" : " ") + line;
    return text;
}

}  // namespace

TEST(FontAtlasData, HoldsPrintableAsciiAndTheDisplaysSigns) {
    for (uint32_t c = 32; c < 127; ++c) EXPECT_NE(findGlyph(c), nullptr) << "U+" << std::hex << c;
    for (uint32_t c : {0x00B7u, 0x00D7u, 0x2013u, 0x2026u}) EXPECT_NE(findGlyph(c), nullptr) << "U+" << std::hex << c;
    for (std::size_t i = 0; i + 1 < fontAtlas.glyphCount; ++i)
        EXPECT_LT(fontAtlas.glyphs[i].codepoint, fontAtlas.glyphs[i + 1].codepoint) << "the table must stay sorted";
}

TEST(FontAtlasData, EveryGlyphLiesInsideTheAtlas) {
    for (std::size_t i = 0; i < fontAtlas.glyphCount; ++i) {
        const FontGlyph& glyph = fontAtlas.glyphs[i];
        EXPECT_LE(glyph.x + glyph.width, fontAtlas.width) << glyph.codepoint;
        EXPECT_LE(glyph.y + glyph.height, fontAtlas.height) << glyph.codepoint;
    }
}

TEST(FontAtlasData, TheFieldIsInsideInTheMiddleOfAStemAndOutsideAtTheEdge) {
    const FontGlyph& bar = *findGlyph('l');
    const auto texel = [](int x, int y) { return fontAtlas.pixels[y * fontAtlas.width + x]; };
    EXPECT_GT(texel(bar.x + bar.width / 2, bar.y + bar.height / 2), fontAtlas.onEdge);
    EXPECT_LT(texel(bar.x, bar.y), fontAtlas.onEdge);
    EXPECT_LT(texel(bar.x + bar.width - 1, bar.y + bar.height - 1), fontAtlas.onEdge);
}

TEST(TextLayout, EveryTextOfTheStatusDisplayHasItsGlyphs) {
    std::vector<std::string> texts;
    for (int kind = 0; kind <= static_cast<int>(MessageKind::GameLost); ++kind)
        for (int settlement = -1; settlement < 5; ++settlement)
            texts.push_back(messageText(static_cast<MessageKind>(kind), settlement));
    StatusInput input;
    input.paused = true;
    input.wonCount = 2;
    input.lostCount = 3;
    const StatusView view = statusView(input);
    for (const std::string& text : {view.counts, view.paused, view.pausedHint, speedText(0.5f), speedText(12.0f),
                                    std::string("12345")})
        texts.push_back(text);
    for (const std::string& text : texts) EXPECT_TRUE(missingGlyphs(text).empty()) << text;
}

TEST(TextLayout, DecodesUtf8AndReplacesMalformedBytes) {
    EXPECT_EQ(decodeUtf8("a×b"), (std::vector<uint32_t>{'a', 0xD7, 'b'}));
    EXPECT_EQ(decodeUtf8("…"), (std::vector<uint32_t>{0x2026}));
    EXPECT_EQ(decodeUtf8("\xF0\x9F\x98\x80"), (std::vector<uint32_t>{0x1F600}));
    EXPECT_EQ(decodeUtf8("a\xC3"), (std::vector<uint32_t>{'a', 0xFFFD})) << "cut short";
    EXPECT_EQ(decodeUtf8("\xC0\xAF"), (std::vector<uint32_t>{0xFFFD, 0xFFFD})) << "overlong";
    EXPECT_EQ(decodeUtf8("\xED\xA0\x80"), (std::vector<uint32_t>{0xFFFD, 0xFFFD, 0xFFFD})) << "surrogate";
    EXPECT_EQ(decodeUtf8("\x80z"), (std::vector<uint32_t>{0xFFFD, 'z'})) << "stray continuation";
}

TEST(TextLayout, ACodepointWithoutAGlyphIsDrawnAsAQuestionMark) {
    EXPECT_EQ(glyphFor(0x4E2D).codepoint, static_cast<uint32_t>('?'));
    EXPECT_EQ(missingGlyphs("ok 中中 \xFF"), (std::vector<uint32_t>{0x4E2D, 0xFFFD}));
    EXPECT_FLOAT_EQ(textWidth("中", 20.0f), textWidth("?", 20.0f));
}

TEST(TextLayout, WidthGrowsWithTheSize) {
    const std::string text = "Settlement 4's grenade is ready";
    EXPECT_NEAR(textWidth(text, 32.0f), 2.0f * textWidth(text, 16.0f), 1e-3f);
    EXPECT_GT(textWidth(text, 16.0f), 16.0f * 10.0f) << "about half the size a letter";
    EXPECT_LT(textWidth(text, 16.0f), 16.0f * 31.0f);
}

TEST(TextLayout, WidthIsTheSumOfAdvancesLessKerning) {
    const float size = 48.0f;  // the baked size: advances in baked pixels
    EXPECT_FLOAT_EQ(textWidth("ab", size), findGlyph('a')->advance + findGlyph('b')->advance);
    EXPECT_LT(textWidth("AV", size), textWidth("A", size) + textWidth("V", size)) << "A and V kern";
    EXPECT_FLOAT_EQ(textWidth("", size), 0.0f);
    EXPECT_FLOAT_EQ(textWidth("ab\ncdef", size), textWidth("ab", size)) << "a line break ends the measure";
}

TEST(TextLayout, LinesKeepWithinTheirWidthAndKeepEveryWord) {
    const std::string text = "Settlement 3 is in danger: nobody is working on its grenade";
    for (float width : {130.0f, 160.0f, 300.0f, 2000.0f}) {  // the widest word fits
        const std::vector<std::string> lines = wrapText(text, 18.0f, width);
        for (const std::string& line : lines) EXPECT_LE(textWidth(line, 18.0f), width) << line;
        EXPECT_EQ(joined(lines), text) << "at " << width;
        // Greedy: the next line's first word would not have fitted.
        for (std::size_t i = 0; i + 1 < lines.size(); ++i) {
            const std::string next = lines[i + 1].substr(0, lines[i + 1].find(' '));
            EXPECT_GT(textWidth(lines[i] + " " + next, 18.0f), width) << lines[i] << " | " << next;
        }
    }
    EXPECT_EQ(wrapText(text, 18.0f, 2000.0f).size(), 1u);
}

TEST(TextLayout, BreaksAtLineEndsAndInsideAWordTooLongForALine) {
    EXPECT_EQ(wrapText("one\ntwo", 18.0f, 500.0f), (std::vector<std::string>{"one", "two"}));
    EXPECT_EQ(wrapText("one\n\ntwo", 18.0f, 500.0f), (std::vector<std::string>{"one", "", "two"}));
    EXPECT_TRUE(wrapText("", 18.0f, 500.0f).empty());
    const std::vector<std::string> pieces = wrapText("Unbreakableword", 18.0f, 40.0f);
    EXPECT_GT(pieces.size(), 2u);
    std::string whole;
    for (const std::string& piece : pieces) {
        EXPECT_LE(textWidth(piece, 18.0f), 40.0f) << piece;
        whole += piece;
    }
    EXPECT_EQ(whole, "Unbreakableword");
    EXPECT_EQ(wrapText("W", 18.0f, 1.0f), (std::vector<std::string>{"W"})) << "a letter wider than the line still shows";
}

TEST(TextLayout, PlacesEachInkedGlyphFromThePen) {
    const float size = 24.0f, scale = size / fontAtlas.bakedHeight;
    const glm::vec2 pen(10.0f, 50.0f);
    const std::vector<GlyphQuad> quads = layoutLine("A b", pen, size);
    ASSERT_EQ(quads.size(), 2u) << "the space has no quad";
    const FontGlyph& a = *findGlyph('A');
    EXPECT_FLOAT_EQ(quads[0].topLeft.x, pen.x + a.xOffset * scale);
    EXPECT_FLOAT_EQ(quads[0].topLeft.y, pen.y + a.yOffset * scale);
    EXPECT_FLOAT_EQ(quads[0].bottomRight.x - quads[0].topLeft.x, a.width * scale);
    EXPECT_FLOAT_EQ(quads[0].atlasTopLeft.x, static_cast<float>(a.x) / fontAtlas.width);
    EXPECT_FLOAT_EQ(quads[0].atlasBottomRight.y, static_cast<float>(a.y + a.height) / fontAtlas.height);
    const FontGlyph& b = *findGlyph('b');
    EXPECT_FLOAT_EQ(quads[1].topLeft.x, pen.x + textWidth("A ", size) + b.xOffset * scale);
}

TEST(TextLayout, TheLineHeightHoldsAscentAndDescent) {
    EXPECT_GE(lineHeight(20.0f), textAscent(20.0f) + textDescent(20.0f));
    EXPECT_NEAR(textAscent(20.0f) + textDescent(20.0f), 20.0f, 1e-3f);
    EXPECT_GT(capitalHeight(20.0f), 10.0f);
    EXPECT_LT(capitalHeight(20.0f), textAscent(20.0f));
}

// main.cpp -- omnivex_fontgen: bakes the overlay's font into C++ source, a signed-distance atlas of DejaVu Sans
// Bold with its glyph metrics and kerning, so the game carries its text in the program and reads no font file.
// Usage: omnivex_fontgen <output .cpp> [font .ttf]
// Fixed inputs and a fixed packing order: two runs with the same font write identical bytes.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include <stb/stb_truetype.h>

namespace {

constexpr const char* defaultFont = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";

// The glyphs are baked at this pixel height (ascent to descent); the distance field reaches `padding` pixels
// beyond the outline, 128 on the outline and 16 steps a pixel, so outlines and soft edges up to 8 baked pixels
// wide can be drawn from it at any size.
constexpr float bakeHeight = 48.0f;
constexpr int padding = 8;
constexpr unsigned char onEdge = 128;
constexpr float stepsPerPixel = 16.0f;
constexpr int atlasWidth = 512;
constexpr int gap = 1;  // empty texels between packed glyphs

// Printable ASCII and the few signs the status texts use beyond it.
std::vector<int> codepoints() {
    std::vector<int> list;
    for (int c = 32; c < 127; ++c) list.push_back(c);
    for (int c : {0x00B7, 0x00D7, 0x2013, 0x2014, 0x2019, 0x2026}) list.push_back(c);
    return list;
}

struct Baked {
    int codepoint = 0;
    int width = 0, height = 0, xOffset = 0, yOffset = 0;
    float advance = 0.0f;
    int x = 0, y = 0;
    std::vector<unsigned char> pixels;
};

bool readFile(const std::string& path, std::vector<unsigned char>& bytes) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return false;
    bytes.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    return !bytes.empty();
}

// stb_truetype trusts the file it is given: before it reads one, the header must name a TrueType font and every
// table the directory lists must lie inside the file.
bool plausibleFont(const std::vector<unsigned char>& bytes) {
    const auto u16 = [&bytes](std::size_t at) { return static_cast<uint32_t>(bytes[at] << 8 | bytes[at + 1]); };
    const auto u32 = [&](std::size_t at) { return u16(at) << 16 | u16(at + 2); };
    if (bytes.size() < 12) return false;
    const uint32_t version = u32(0);
    if (version != 0x00010000u && version != 0x74727565u) return false;  // 1.0 or "true"
    const std::size_t tables = u16(4);
    if (12 + tables * 16 > bytes.size()) return false;
    for (std::size_t i = 0; i < tables; ++i) {
        const uint64_t offset = u32(12 + i * 16 + 8), length = u32(12 + i * 16 + 12);
        if (offset + length > bytes.size()) return false;
    }
    return tables > 0;
}

std::string floatText(float value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.6g", static_cast<double>(value));
    std::string literal = text;
    if (literal.find_first_of(".e") == std::string::npos) literal += ".0";
    return literal + "f";
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: %s <output .cpp> [font .ttf]\n", argv[0]);
        return 2;
    }
    const std::string output = argv[1];
    const std::string fontPath = argc == 3 ? argv[2] : defaultFont;
    std::vector<unsigned char> ttf;
    stbtt_fontinfo font;
    if (!readFile(fontPath, ttf) || !plausibleFont(ttf) || !stbtt_InitFont(&font, ttf.data(), stbtt_GetFontOffsetForIndex(ttf.data(), 0))) {
        std::fprintf(stderr, "omnivex_fontgen: cannot read the font %s (package fonts-dejavu-core)\n", fontPath.c_str());
        return 1;
    }
    const float scale = stbtt_ScaleForPixelHeight(&font, bakeHeight);

    std::vector<Baked> glyphs;
    for (int codepoint : codepoints()) {
        if (stbtt_FindGlyphIndex(&font, codepoint) == 0) {
            std::fprintf(stderr, "omnivex_fontgen: %s has no glyph for U+%04X\n", fontPath.c_str(), codepoint);
            return 1;
        }
        Baked glyph;
        glyph.codepoint = codepoint;
        int advance = 0, bearing = 0;
        stbtt_GetCodepointHMetrics(&font, codepoint, &advance, &bearing);
        glyph.advance = static_cast<float>(advance) * scale;
        unsigned char* sdf = stbtt_GetCodepointSDF(&font, scale, codepoint, padding, onEdge, stepsPerPixel, &glyph.width,
                                                   &glyph.height, &glyph.xOffset, &glyph.yOffset);
        if (sdf) {
            glyph.pixels.assign(sdf, sdf + static_cast<size_t>(glyph.width) * static_cast<size_t>(glyph.height));
            stbtt_FreeSDF(sdf, nullptr);
        } else {
            glyph.width = glyph.height = glyph.xOffset = glyph.yOffset = 0;  // a blank such as the space
        }
        glyphs.push_back(std::move(glyph));
    }

    // Shelf packing, tallest first (codepoint order among equals), rows left to right.
    std::vector<Baked*> order;
    for (Baked& glyph : glyphs) order.push_back(&glyph);
    std::stable_sort(order.begin(), order.end(), [](const Baked* a, const Baked* b) { return a->height > b->height; });
    int x = gap, y = gap, shelf = 0;
    for (Baked* glyph : order) {
        if (glyph->width == 0) continue;
        if (x + glyph->width + gap > atlasWidth) {
            x = gap;
            y += shelf + gap;
            shelf = 0;
        }
        glyph->x = x;
        glyph->y = y;
        x += glyph->width + gap;
        shelf = std::max(shelf, glyph->height);
    }
    const int atlasHeight = (y + shelf + gap + 3) / 4 * 4;
    std::vector<unsigned char> atlas(static_cast<size_t>(atlasWidth) * static_cast<size_t>(atlasHeight), 0);
    for (const Baked& glyph : glyphs)
        for (int row = 0; row < glyph.height; ++row)
            std::copy_n(glyph.pixels.begin() + static_cast<std::ptrdiff_t>(row) * glyph.width, glyph.width,
                        atlas.begin() + static_cast<std::ptrdiff_t>(glyph.y + row) * atlasWidth + glyph.x);

    int ascent = 0, descent = 0, lineGap = 0;
    stbtt_GetFontVMetrics(&font, &ascent, &descent, &lineGap);

    std::ostringstream source;
    source << "// FontAtlas.cpp -- generated by omnivex_fontgen from " << std::filesystem::path(fontPath).filename().string()
           << "; do not edit.\n#include \"render/FontAtlas.h\"\n\nnamespace {\n\n";
    source << "const FontGlyph glyphs[] = {\n";
    for (const Baked& glyph : glyphs)  // already in codepoint order
        source << "    {" << glyph.codepoint << ", " << glyph.x << ", " << glyph.y << ", " << glyph.width << ", "
               << glyph.height << ", " << glyph.xOffset << ", " << glyph.yOffset << ", " << floatText(glyph.advance)
               << "},\n";
    source << "};\n\nconst FontKerning kerning[] = {\n";
    size_t kerningCount = 0;
    for (const Baked& left : glyphs)
        for (const Baked& right : glyphs) {
            const int adjust = stbtt_GetCodepointKernAdvance(&font, left.codepoint, right.codepoint);
            if (adjust == 0) continue;
            source << "    {" << left.codepoint << ", " << right.codepoint << ", "
                   << floatText(static_cast<float>(adjust) * scale) << "},\n";
            ++kerningCount;
        }
    if (kerningCount == 0) source << "    {0, 0, 0.0f},\n";
    source << "};\n\n// " << atlasWidth << " x " << atlasHeight << " distances, rows from the top.\nconst char pixels[] =\n";
    static const char hex[] = "0123456789abcdef";
    for (int row = 0; row < atlasHeight; ++row) {
        std::string line = "    \"";
        for (int column = 0; column < atlasWidth; ++column) {
            const unsigned char value = atlas[static_cast<size_t>(row) * atlasWidth + column];
            line += "\\x";
            line += hex[value >> 4];
            line += hex[value & 15];
        }
        source << line << "\"\n";
    }
    source << "    ;\n\n}  // namespace\n\n";
    source << "const FontAtlas fontAtlas = {\n"
           << "    " << floatText(bakeHeight) << ", " << floatText(static_cast<float>(ascent) * scale) << ", "
           << floatText(static_cast<float>(descent) * scale) << ", " << floatText(static_cast<float>(lineGap) * scale)
           << ",\n    " << padding << ", " << static_cast<int>(onEdge) << ", " << floatText(stepsPerPixel) << ",\n    "
           << atlasWidth << ", " << atlasHeight << ", reinterpret_cast<const unsigned char*>(pixels),\n"
           << "    glyphs, sizeof glyphs / sizeof glyphs[0],\n    kerning, " << kerningCount << ",\n};\n";

    // Written beside the output and moved over it, so a build never compiles half a file.
    const std::string temporary = output + ".part";
    {
        std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
        file << source.str();
        if (!file.flush()) {
            std::fprintf(stderr, "omnivex_fontgen: cannot write %s\n", output.c_str());
            return 1;
        }
    }
    std::error_code error;
    std::filesystem::rename(temporary, output, error);
    if (error) {
        std::filesystem::remove(temporary, error);
        std::fprintf(stderr, "omnivex_fontgen: cannot write %s\n", output.c_str());
        return 1;
    }
    std::printf("omnivex_fontgen: %zu glyphs, %zu kerning pairs, %d x %d atlas\n", glyphs.size(), kerningCount,
                atlasWidth, atlasHeight);
    return 0;
}

// Image.h -- an RGBA picture in floats, held top row first, with soft drawing helpers and the TGA writer.
#pragma once

#include <string>
#include <vector>

namespace artgen {

struct Color {
    float r = 0.0f, g = 0.0f, b = 0.0f, a = 1.0f;
};

Color rgb(float r, float g, float b, float a = 1.0f);
// Colour from 0..255 components.
Color rgb255(int r, int g, int b);
Color mix(const Color& x, const Color& y, float t);
Color scale(const Color& c, float factor);  // rgb only; alpha kept
Color add(const Color& x, const Color& y);  // rgb only; alpha of x kept
float clamp01(float v);
float smoothstep(float edge0, float edge1, float x);

// Row 0 is the top of the picture; x grows to the right.
struct Image {
    int width = 0;
    int height = 0;
    std::vector<Color> pixels;

    Image(int w, int h, const Color& fill = Color{});
    Color& at(int x, int y) { return pixels[static_cast<size_t>(y) * width + x]; }
    const Color& at(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
    // Coordinates wrap around both edges (for tileable strokes).
    Color& atWrapped(int x, int y);
};

// Blends colour over the pixel with the given coverage (0..1) times the colour's alpha;
// the pixel's own alpha becomes the union of both.
void blendPixel(Image& image, int x, int y, const Color& colour, float coverage, bool wrap = false);

// Soft round dot of radius r (pixels) centred at (cx, cy); wraps around the edges when wrap is set.
void drawDisc(Image& image, float cx, float cy, float radius, const Color& colour, bool wrap = false);
// Soft stroke of the given width between two points.
void drawLine(Image& image, float x0, float y0, float x1, float y1, float width, const Color& colour,
              bool wrap = false);
// Filled axis-aligned rectangle with soft edges (pixel coordinates, inclusive of x0, exclusive of x1).
void fillRect(Image& image, float x0, float y0, float x1, float y1, const Color& colour);

// Writes an uncompressed true-colour TGA (type 2): 32-bit with alpha or 24-bit without, rows stored
// bottom-up so the first file row is the bottom of the picture. Returns false when the file cannot be written.
bool writeTga(const std::string& path, const Image& image, bool withAlpha);

}  // namespace artgen

// Image.h -- pictures the tests look at: screenshots and PNG files, and frames read back from GL. Rows run from
// the top and coordinates from the top-left corner, as in the files; statistics cover red, green and blue.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace omxtest {

struct Image {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgba;  // four bytes a pixel

    bool load(const std::string& pngPath);
    // Saves the picture opaque, as a window shows it; false when it cannot be written.
    bool save(const std::string& pngPath) const;
    // Mean red, green and blue over the rectangle [x0, x1) x [y0, y1), 0..255 each (clipped to the picture).
    std::array<double, 3> meanColour(int x0, int y0, int x1, int y1) const;
    // Mean of (r + g + b) / 3 over the rectangle, 0..255.
    double meanBrightness(int x0, int y0, int x1, int y1) const;
    // Mean of |a - b| over the colour channels of the rectangle; 255 when the sizes differ.
    double meanDifference(const Image& other, int x0, int y0, int x1, int y1) const;
};

// The colour buffer of a framebuffer (0: the window's back buffer) of the current GL context.
Image readFramebuffer(uint32_t framebuffer, int width, int height);

}  // namespace omxtest

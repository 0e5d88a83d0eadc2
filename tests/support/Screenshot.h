// Screenshot.h -- simple statistics over a PNG screenshot.
#pragma once

#include <array>
#include <string>
#include <vector>

namespace omxtest {

struct Image {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgb;  // row 0 at the top

    bool load(const std::string& pngPath);
    // Mean red, green and blue over the rectangle [x0, x1) x [y0, y1), 0..255 each.
    std::array<double, 3> meanColour(int x0, int y0, int x1, int y1) const;
    // Mean of (r + g + b) / 3 over the rectangle [x0, x1) x [y0, y1), 0..255.
    double meanBrightness(int x0, int y0, int x1, int y1) const;
    // Mean of |a - b| over all channels of the rectangle; both images must have the same size.
    double meanDifference(const Image& other, int x0, int y0, int x1, int y1) const;
};

}  // namespace omxtest

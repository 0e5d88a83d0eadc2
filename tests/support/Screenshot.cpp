// Screenshot.cpp -- PNG loading through stb_image and region statistics.
#include "support/Screenshot.h"

#include <algorithm>
#include <cstdlib>

#include <stb/stb_image.h>

namespace omxtest {

bool Image::load(const std::string& pngPath) {
    int channels = 0;
    unsigned char* data = stbi_load(pngPath.c_str(), &width, &height, &channels, 3);
    if (!data) return false;
    rgb.assign(data, data + static_cast<size_t>(width) * height * 3);
    stbi_image_free(data);
    return true;
}

std::array<double, 3> Image::meanColour(int x0, int y0, int x1, int y1) const {
    x0 = std::max(x0, 0), y0 = std::max(y0, 0), x1 = std::min(x1, width), y1 = std::min(y1, height);
    std::array<double, 3> sum{};
    long count = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) {
            const unsigned char* p = &rgb[(static_cast<size_t>(y) * width + x) * 3];
            for (int c = 0; c < 3; ++c) sum[static_cast<size_t>(c)] += p[c];
            ++count;
        }
    if (count)
        for (double& channel : sum) channel /= static_cast<double>(count);
    return sum;
}

double Image::meanBrightness(int x0, int y0, int x1, int y1) const {
    const std::array<double, 3> colour = meanColour(x0, y0, x1, y1);
    return (colour[0] + colour[1] + colour[2]) / 3.0;
}

double Image::meanDifference(const Image& other, int x0, int y0, int x1, int y1) const {
    if (other.width != width || other.height != height) return 255.0;
    x0 = std::max(x0, 0), y0 = std::max(y0, 0), x1 = std::min(x1, width), y1 = std::min(y1, height);
    double sum = 0.0;
    long count = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x)
            for (int c = 0; c < 3; ++c) {
                const size_t i = (static_cast<size_t>(y) * width + x) * 3 + c;
                sum += std::abs(static_cast<int>(rgb[i]) - static_cast<int>(other.rgb[i]));
                ++count;
            }
    return count ? sum / count : 0.0;
}

}  // namespace omxtest

// Image.cpp -- PNG files through stb, frames through glReadPixels, and rectangle statistics.
#include "support/Image.h"

#include <algorithm>
#include <cstdlib>

#include <epoxy/gl.h>
#include <stb/stb_image.h>

#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image_write.h>

namespace omxtest {

bool Image::load(const std::string& pngPath) {
    int channels = 0;
    unsigned char* data = stbi_load(pngPath.c_str(), &width, &height, &channels, 4);
    if (!data) return false;
    rgba.assign(data, data + static_cast<size_t>(width) * height * 4);
    stbi_image_free(data);
    return true;
}

bool Image::save(const std::string& pngPath) const {
    std::vector<unsigned char> opaque = rgba;
    for (size_t i = 3; i < opaque.size(); i += 4) opaque[i] = 255;
    return stbi_write_png(pngPath.c_str(), width, height, 4, opaque.data(), width * 4) != 0;
}

std::array<double, 3> Image::meanColour(int x0, int y0, int x1, int y1) const {
    x0 = std::max(x0, 0), y0 = std::max(y0, 0), x1 = std::min(x1, width), y1 = std::min(y1, height);
    std::array<double, 3> sum{};
    long count = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x, ++count)
            for (size_t c = 0; c < 3; ++c) sum[c] += rgba[(static_cast<size_t>(y) * width + x) * 4 + c];
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
            for (size_t c = 0; c < 3; ++c, ++count) {
                const size_t i = (static_cast<size_t>(y) * width + x) * 4 + c;
                sum += std::abs(static_cast<int>(rgba[i]) - static_cast<int>(other.rgba[i]));
            }
    return count ? sum / static_cast<double>(count) : 0.0;
}

Image readFramebuffer(uint32_t framebuffer, int width, int height) {
    Image image;
    image.width = width;
    image.height = height;
    const size_t stride = static_cast<size_t>(width) * 4;
    std::vector<unsigned char> bottomUp(stride * static_cast<size_t>(height), 0);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer);
    glReadBuffer(framebuffer == 0 ? GL_BACK : GL_COLOR_ATTACHMENT0);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, bottomUp.data());
    glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
    // GL's rows run from the bottom.
    image.rgba.resize(bottomUp.size());
    for (int y = 0; y < height; ++y)
        std::copy_n(bottomUp.begin() + static_cast<std::ptrdiff_t>(stride * static_cast<size_t>(height - 1 - y)), stride,
                    image.rgba.begin() + static_cast<std::ptrdiff_t>(stride * static_cast<size_t>(y)));
    return image;
}

}  // namespace omxtest

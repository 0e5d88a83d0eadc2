// Texture.h -- the TGA reader, 2D textures, the sky-box cube map and the run-time filter switches.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

// What readTga found: an uncompressed TGA image without a colour map (type 2 or 3), 8, 24 or 32 bits a
// pixel, its image ID skipped. `ok` is false on any failure; width and height stay as read from the
// header (0 x 0 when the file did not open or the header was short).
struct TgaImage {
    bool ok = false;
    int32_t width = 0;
    int32_t height = 0;
    uint32_t internalFormat = 0;  // GL_RGB, GL_RGBA or GL_RED (8-bit grey)
    uint32_t pixelFormat = 0;     // GL_BGR, GL_BGRA or GL_RED
    std::vector<unsigned char> pixels;  // rows in file order, no padding
};

TgaImage readTga(const std::string& fileName);

// A new 2D texture from a TGA file; clamp gives a black border instead of repeating.
// A file that cannot be read prints "image load failed: <path>" and still yields a texture name.
uint32_t loadTexture(const std::string& path, bool clamp);

// A cube map from six files in the order +x, -x, +y, -y, +z, -z; stays bound on texture unit 0.
uint32_t loadCubeMap(const std::array<std::string, 6>& paths);

// True for Mesa's software rasterizers (llvmpipe, softpipe, swrast), named by their GL_RENDERER string.
bool isSoftwareRasterizer(const std::string& renderer);

// The maximum anisotropy given to 2D textures: the largest the driver allows (at least 1), but 1 on Mesa's
// software rasterizers, named by their GL_RENDERER string.
float usableAnisotropy(const std::string& renderer, float driverLargest);
// The same for the current context; needs the anisotropic filter extension.
float largestUsableAnisotropy();

// Re-applies minification and anisotropy to every counted 2D texture of every model.
void applyTextureFiltering(bool mipmapping, bool trilinear);

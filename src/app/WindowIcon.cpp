// WindowIcon.cpp -- the window's icon: the generated PNG files, read with stb_image's PNG reader alone.
#include "app/WindowIcon.h"

#include <fstream>
#include <utility>

// Only the PNG reader, compiled into this file with its functions private to it, reading from memory.
#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#define STBI_NO_STDIO
#define STBI_NO_LINEAR
#define STBI_NO_HDR
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wunused-parameter"
#include <stb/stb_image.h>
#pragma GCC diagnostic pop

namespace {

// The largest icon file read: the 128-pixel icon is under 20 kB.
constexpr std::streamsize largestIconFile = 1 << 20;

}  // namespace

const std::vector<int>& windowIconSizes() {
    static const std::vector<int> sizes = {16, 24, 32, 48, 64, 128};
    return sizes;
}

std::string iconFile(const std::string& iconFolder, int size) {
    const std::string side = std::to_string(size);
    return iconFolder + "hicolor/" + side + "x" + side + "/apps/omnivex.png";
}

bool readIconPng(const std::string& path, int size, IconImage& image) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return false;
    std::vector<unsigned char> bytes;
    bytes.resize(static_cast<size_t>(largestIconFile) + 1);
    file.read(reinterpret_cast<char*>(bytes.data()), largestIconFile + 1);
    const std::streamsize length = file.gcount();
    if (length <= 0 || length > largestIconFile) return false;
    // The size is checked from the header before anything is decoded.
    int width = 0, height = 0, channels = 0;
    if (!stbi_info_from_memory(bytes.data(), static_cast<int>(length), &width, &height, &channels)) return false;
    if (width != size || height != size) return false;
    unsigned char* const pixels =
        stbi_load_from_memory(bytes.data(), static_cast<int>(length), &width, &height, &channels, 4);
    if (!pixels) return false;
    const bool sizeKept = width == size && height == size;
    if (sizeKept) {
        image.size = size;
        image.rgba.assign(pixels, pixels + static_cast<size_t>(size) * static_cast<size_t>(size) * 4);
    }
    stbi_image_free(pixels);
    return sizeKept;
}

std::vector<IconImage> loadWindowIcons(const std::string& dataFolder) {
    for (const char* below : {"icons/", "../icons/"}) {
        std::vector<IconImage> icons;
        for (const int size : windowIconSizes()) {
            IconImage image;
            if (readIconPng(iconFile(dataFolder + below, size), size, image)) icons.push_back(std::move(image));
        }
        if (!icons.empty()) return icons;
    }
    return {};
}

// AssetFiles.cpp -- scratch files for the asset tests.
#include "AssetFiles.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>

#include <unistd.h>

namespace assettest {

const std::string& scratchDirectory() {
    // Kept alive past static destruction, so the exit handler can still name the directory.
    static const std::string* const directory = [] {
        std::string pattern = "/tmp/omnivex-assets-XXXXXX";
        if (!mkdtemp(pattern.data())) throw std::runtime_error("cannot create a scratch directory");
        std::atexit([] {
            std::error_code ignored;
            std::filesystem::remove_all(scratchDirectory(), ignored);
        });
        return new std::string(pattern);
    }();
    return *directory;
}

std::string writeScratchFile(const std::string& name, const std::vector<unsigned char>& bytes) {
    const std::string path = scratchDirectory() + "/" + name;
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return path;
}

std::string writeScratchFile(const std::string& name, const std::string& text) {
    return writeScratchFile(name, std::vector<unsigned char>(text.begin(), text.end()));
}

std::vector<unsigned char> tgaHeader(uint16_t width, uint16_t height, uint8_t depth) {
    std::vector<unsigned char> header(18, 0);
    header[2] = 2;
    header[12] = static_cast<unsigned char>(width & 0xff);
    header[13] = static_cast<unsigned char>(width >> 8);
    header[14] = static_cast<unsigned char>(height & 0xff);
    header[15] = static_cast<unsigned char>(height >> 8);
    header[16] = depth;
    return header;
}

std::vector<unsigned char> tgaFile(uint16_t width, uint16_t height, uint8_t depth,
                                   const std::vector<unsigned char>& pixels,
                                   const std::vector<unsigned char>& trailing) {
    const std::vector<unsigned char> header = tgaHeader(width, height, depth);
    std::vector<unsigned char> file(header.size() + pixels.size() + trailing.size());
    const auto afterHeader = std::copy(header.begin(), header.end(), file.begin());
    std::copy(trailing.begin(), trailing.end(), std::copy(pixels.begin(), pixels.end(), afterHeader));
    return file;
}

std::vector<unsigned char> patternPixels(int width, int height, int bytesPerPixel) {
    std::vector<unsigned char> pixels;
    for (int row = 0; row < height; ++row)
        for (int i = 0; i < width * bytesPerPixel; ++i) pixels.push_back(static_cast<unsigned char>(17 * row + 3 * i + 1));
    return pixels;
}

std::string attributeShaderPath() {
    writeScratchFile("attributes.vert",
                     "#version 330 core\n"
                     "in vec4 vVertex;\nin vec3 vNormal;\nin vec2 vTexCoord;\nout vec4 shade;\n"
                     "void main() { shade = vec4(vNormal, vTexCoord.x + vTexCoord.y); gl_Position = vVertex; }\n");
    writeScratchFile("attributes.frag",
                     "#version 330 core\n"
                     "in vec4 shade;\nout vec4 color;\nvoid main() { color = shade; }\n");
    return scratchDirectory() + "/attributes";
}

}  // namespace assettest

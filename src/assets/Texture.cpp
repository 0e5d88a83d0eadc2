// Texture.cpp -- the TGA reader, 2D textures with their sampling parameters, the sky-box cube map and the
// run-time filter switches.
#include "assets/Texture.h"

#include <algorithm>
#include <cstdio>
#include <iostream>
#include <new>

#include <epoxy/gl.h>

#include "assets/Model.h"

namespace {

constexpr long tgaHeaderSize = 18;

// Closes the reader's file on every way out.
struct FileCloser {
    std::FILE* file;
    ~FileCloser() {
        if (file) std::fclose(file);
    }
};

uint16_t readLittleEndian16(const unsigned char* bytes) {
    return static_cast<uint16_t>(bytes[0] | (bytes[1] << 8));
}

// Bytes left in the file after the current position, or -1 when the stream cannot tell.
long bytesRemaining(std::FILE* file) {
    const long here = std::ftell(file);
    if (here < 0 || std::fseek(file, 0, SEEK_END) != 0) return -1;
    const long end = std::ftell(file);
    if (end < 0 || std::fseek(file, here, SEEK_SET) != 0) return -1;
    return end - here;
}

// The driver may lack the anisotropic filter; then its parameters are left alone instead of raising errors.
bool hasAnisotropy() {
    return epoxy_has_gl_extension("GL_EXT_texture_filter_anisotropic") ||
           epoxy_has_gl_extension("GL_ARB_texture_filter_anisotropic");
}

void setMaximumAnisotropy(GLenum target) {
    if (!hasAnisotropy()) return;
    GLfloat largest = 1.0f;
    glGetFloatv(GL_MAX_TEXTURE_MAX_ANISOTROPY_EXT, &largest);
    glTexParameterf(target, GL_TEXTURE_MAX_ANISOTROPY_EXT, largest);
}

// What level 0 of a texture or cube face was defined as.
struct LevelShape {
    GLsizei width = 0;
    GLsizei height = 0;
    uint32_t internalFormat = 0;
    bool operator==(const LevelShape& other) const {
        return width == other.width && height == other.height && internalFormat == other.internalFormat;
    }
};

// Defines level 0 of target from the image. A refused image keeps its header size with no contents, unless
// that size is beyond what the driver can hold, in which case the level is 0 x 0.
LevelShape defineLevelZero(GLenum target, const TgaImage& image) {
    GLint largestSize = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &largestSize);
    const bool sizeFits = image.width <= largestSize && image.height <= largestSize;
    const LevelShape shape{sizeFits ? image.width : 0, sizeFits ? image.height : 0, image.internalFormat};
    glTexImage2D(target, 0, static_cast<GLint>(shape.internalFormat), shape.width, shape.height, 0,
                 image.pixelFormat, GL_UNSIGNED_BYTE, image.ok ? image.pixels.data() : nullptr);
    return shape;
}

// Reads one file for a texture; a refused file is reported and yields the header-sized empty image.
TgaImage readTgaReporting(const std::string& path) {
    TgaImage image = readTga(path);
    if (!image.ok) std::cerr << "image load failed: " << path << std::endl;
    return image;
}

}  // namespace

TgaImage readTga(const std::string& fileName) {
    TgaImage image;
    image.internalFormat = GL_RGB;
    image.pixelFormat = GL_RGB;

    std::FILE* const file = std::fopen(fileName.c_str(), "rb");
    if (!file) return image;
    const FileCloser closer{file};

    unsigned char header[tgaHeaderSize];
    if (std::fread(header, 1, sizeof header, file) != sizeof header) return image;
    image.width = readLittleEndian16(header + 12);
    image.height = readLittleEndian16(header + 14);

    const unsigned depth = header[16];
    if (depth != 8 && depth != 24 && depth != 32) return image;

    const uint64_t size = uint64_t{depth / 8} * static_cast<uint64_t>(image.width) * static_cast<uint64_t>(image.height);
    if (size > UINT32_MAX) return image;
    // A header may promise more than the file holds; compare before allocating anything.
    const long remaining = bytesRemaining(file);
    if (remaining < 0 || static_cast<uint64_t>(remaining) < size) return image;

    std::vector<unsigned char> pixels;
    try {
        pixels.resize(static_cast<size_t>(size));
    } catch (const std::bad_alloc&) {
        return image;
    }
    if (std::fread(pixels.data(), 1, pixels.size(), file) != pixels.size()) return image;

    switch (depth) {
        case 8:
            image.internalFormat = GL_RED;
            image.pixelFormat = GL_RED;
            break;
        case 24:
            image.internalFormat = GL_RGB;
            image.pixelFormat = GL_BGR;
            break;
        default:
            image.internalFormat = GL_RGBA;
            image.pixelFormat = GL_BGRA;
            break;
    }
    image.pixels = std::move(pixels);
    image.ok = true;
    return image;
}

uint32_t loadTexture(const std::string& path, bool clamp) {
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
    if (clamp) {
        const GLfloat black[4] = {0.0f, 0.0f, 0.0f, 1.0f};
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_BORDER);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_BORDER);
        glTexParameterfv(GL_TEXTURE_2D, GL_TEXTURE_BORDER_COLOR, black);
    } else {
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    }
    // Rows are stored without padding, so any row length in bytes must be accepted.
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    setMaximumAnisotropy(GL_TEXTURE_2D);

    const TgaImage image = readTgaReporting(path);
    const LevelShape level = defineLevelZero(GL_TEXTURE_2D, image);
    if (image.ok && image.pixelFormat == GL_RED) {
        // One-channel images are grey: every colour channel samples the single stored one.
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_SWIZZLE_G, GL_RED);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_SWIZZLE_B, GL_RED);
    }
    if (level.width > 0 && level.height > 0) glGenerateMipmap(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, 0);
    return name;
}

uint32_t loadCubeMap(const std::array<std::string, 6>& paths) {
    static constexpr std::array<GLenum, 6> faces = {
        GL_TEXTURE_CUBE_MAP_POSITIVE_X, GL_TEXTURE_CUBE_MAP_NEGATIVE_X, GL_TEXTURE_CUBE_MAP_POSITIVE_Y,
        GL_TEXTURE_CUBE_MAP_NEGATIVE_Y, GL_TEXTURE_CUBE_MAP_POSITIVE_Z, GL_TEXTURE_CUBE_MAP_NEGATIVE_Z};
    glActiveTexture(GL_TEXTURE0);
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_CUBE_MAP, name);
    glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
    glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_WRAP_S, GL_MIRRORED_REPEAT);
    glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_WRAP_T, GL_MIRRORED_REPEAT);
    glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_WRAP_R, GL_MIRRORED_REPEAT);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);

    std::array<LevelShape, 6> shapes;
    for (size_t i = 0; i < faces.size(); ++i) shapes[i] = defineLevelZero(faces[i], readTgaReporting(paths[i]));
    // Mipmaps need a complete cube: six square faces of one size and format. Otherwise it stays without them
    // rather than raising an OpenGL error.
    const bool cubeComplete = shapes[0].width > 0 && shapes[0].width == shapes[0].height &&
                              std::all_of(shapes.begin(), shapes.end(),
                                          [&](const LevelShape& shape) { return shape == shapes[0]; });
    if (cubeComplete) glGenerateMipmap(GL_TEXTURE_CUBE_MAP);
    return name;
}

void applyTextureFiltering(bool mipmapping, bool trilinear) {
    const GLint minification = mipmapping ? (trilinear ? GL_LINEAR_MIPMAP_LINEAR : GL_NEAREST_MIPMAP_NEAREST)
                                          : (trilinear ? GL_LINEAR : GL_NEAREST);
    for (const Model* model : allModels) {
        const size_t counted = std::min(model->textures.size(), static_cast<size_t>(std::max(model->textureCount, 0)));
        for (size_t i = 0; i < counted; ++i) {
            glBindTexture(GL_TEXTURE_2D, model->textures[i]);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, minification);
            if (trilinear) {
                setMaximumAnisotropy(GL_TEXTURE_2D);
            } else if (hasAnisotropy()) {
                glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MAX_ANISOTROPY_EXT, 1.0f);
            }
        }
        glBindTexture(GL_TEXTURE_2D, 0);
    }
}

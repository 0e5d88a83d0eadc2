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
    glTexParameterf(target, GL_TEXTURE_MAX_ANISOTROPY_EXT, largestUsableAnisotropy());
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

bool isPowerOfTwo(int32_t n) { return n > 0 && (n & (n - 1)) == 0; }

// The image's own pixels can make its mipmaps when both sides are powers of two: each level is then the
// average of 2 x 2 texels of the level above (2 x 1 once a side is down to 1), which is what the driver's
// generation gives for such sizes, without the driver drawing every level (slow in software).
bool canHalveOnCpu(const TgaImage& image) {
    return image.ok && isPowerOfTwo(image.width) && isPowerOfTwo(image.height) &&
           image.pixels.size() % (static_cast<size_t>(image.width) * static_cast<size_t>(image.height)) == 0;
}

// The midpoint of two 8-bit values as the software rasteriser's linear filter computes it (8-bit weight,
// rounded, arithmetic shift), so that levels made here equal the ones its own generation makes.
int halfway(int from, int to) { return from + (((to - from) * 128 + 128) >> 8); }

// Halves a power-of-two image of `channels` bytes per texel: each texel is the midpoint of the midpoints
// of the two rows of its 2 x 2 block.
std::vector<unsigned char> halveImage(const std::vector<unsigned char>& pixels, int32_t width, int32_t height,
                                      size_t channels) {
    const int32_t halfWidth = std::max(width / 2, 1);
    const int32_t halfHeight = std::max(height / 2, 1);
    const size_t rowBytes = static_cast<size_t>(width) * channels;
    // The second texel across and down; a side already 1 texel long averages its one texel twice.
    const size_t across = width > 1 ? channels : 0;
    const size_t down = height > 1 ? rowBytes : 0;
    std::vector<unsigned char> half(static_cast<size_t>(halfWidth) * static_cast<size_t>(halfHeight) * channels);
    unsigned char* out = half.data();
    for (int32_t y = 0; y < halfHeight; ++y) {
        const unsigned char* row = pixels.data() + static_cast<size_t>(2 * y) * rowBytes;
        for (int32_t x = 0; x < halfWidth; ++x) {
            const unsigned char* texel = row + static_cast<size_t>(2 * x) * channels;
            for (size_t c = 0; c < channels; ++c) {
                const int top = halfway(texel[c], texel[c + across]);
                const int bottom = halfway(texel[c + down], texel[c + across + down]);
                *out++ = static_cast<unsigned char>(halfway(top, bottom));
            }
        }
    }
    return half;
}

// Defines levels 1 .. down to 1 x 1 of target from the image that level 0 was made from.
void defineMipmapsFromImage(GLenum target, const TgaImage& image) {
    const size_t channels = image.pixels.size() / (static_cast<size_t>(image.width) * static_cast<size_t>(image.height));
    std::vector<unsigned char> level = halveImage(image.pixels, image.width, image.height, channels);
    int32_t width = image.width;
    int32_t height = image.height;
    for (GLint index = 1; width > 1 || height > 1; ++index) {
        width = std::max(width / 2, 1);
        height = std::max(height / 2, 1);
        glTexImage2D(target, index, static_cast<GLint>(image.internalFormat), width, height, 0, image.pixelFormat,
                     GL_UNSIGNED_BYTE, level.data());
        if (width > 1 || height > 1) level = halveImage(level, width, height, channels);
    }
}

// Reads one file for a texture; a refused file is reported and yields the header-sized empty image.
TgaImage readTgaReporting(const std::string& path) {
    TgaImage image = readTga(path);
    if (!image.ok) std::cerr << "image load failed: " << path << std::endl;
    return image;
}

}  // namespace

bool isSoftwareRasterizer(const std::string& renderer) {
    for (const char* software : {"llvmpipe", "softpipe", "Software Rasterizer"}) {
        if (renderer.find(software) != std::string::npos) return true;
    }
    return false;
}

float usableAnisotropy(const std::string& renderer, float driverLargest) {
    // Mesa's software rasterizers sample anisotropically at a cost that explodes where the ground meets
    // the horizon: some views of the world take from seconds to a minute per frame at any anisotropy above
    // one, while the same views take about a tenth of a second without it.
    if (isSoftwareRasterizer(renderer)) return 1.0f;
    return driverLargest >= 1.0f ? driverLargest : 1.0f;
}

float largestUsableAnisotropy() {
    GLfloat largest = 1.0f;
    glGetFloatv(GL_MAX_TEXTURE_MAX_ANISOTROPY_EXT, &largest);
    const GLubyte* renderer = glGetString(GL_RENDERER);
    return usableAnisotropy(renderer ? reinterpret_cast<const char*>(renderer) : "", largest);
}

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
    // Only uncompressed pixels without a colour map are read: true colour (type 2) or grey (type 3). Any
    // other kind of image would come out as noise, so it is refused like any unreadable file.
    constexpr unsigned char trueColour = 2, grey = 3;
    if (header[1] != 0 || (header[2] != trueColour && header[2] != grey)) return image;
    // The image ID, up to 255 bytes, lies between the header and the pixels.
    if (header[0] != 0 && std::fseek(file, header[0], SEEK_CUR) != 0) return image;

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
    if (level.width > 0 && level.height > 0) {
        if (level.width == image.width && canHalveOnCpu(image)) {
            defineMipmapsFromImage(GL_TEXTURE_2D, image);
        } else {
            glGenerateMipmap(GL_TEXTURE_2D);
        }
    }
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

    std::array<TgaImage, 6> images;
    std::array<LevelShape, 6> shapes;
    for (size_t i = 0; i < faces.size(); ++i) {
        images[i] = readTgaReporting(paths[i]);
        shapes[i] = defineLevelZero(faces[i], images[i]);
    }
    // Mipmaps need a complete cube: six square faces of one size and format. Otherwise it stays without them
    // rather than raising an OpenGL error.
    const bool cubeComplete = shapes[0].width > 0 && shapes[0].width == shapes[0].height &&
                              std::all_of(shapes.begin(), shapes.end(),
                                          [&](const LevelShape& shape) { return shape == shapes[0]; });
    if (!cubeComplete) return name;
    // Each face is filtered on its own, as the driver's generation does.
    const bool fromImages = std::all_of(images.begin(), images.end(), [&](const TgaImage& image) {
        return image.width == shapes[0].width && canHalveOnCpu(image);
    });
    if (fromImages) {
        for (size_t i = 0; i < faces.size(); ++i) defineMipmapsFromImage(faces[i], images[i]);
    } else {
        glGenerateMipmap(GL_TEXTURE_CUBE_MAP);
    }
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

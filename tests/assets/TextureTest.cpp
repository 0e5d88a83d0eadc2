// TextureTest.cpp -- the TGA reader on files written here (formats, refusals, huge headers that must not make
// it reserve what they promise), 2D textures and the cube map on a real context read back from GL, the
// load-failed message, and the run-time filter switches on the textures of real models.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <string>
#include <tuple>
#include <vector>

#include <epoxy/gl.h>

#include "assets/Model.h"
#include "assets/Texture.h"
#include "support/Files.h"
#include "support/GlContext.h"

using omxtest::scratchFile;
using Bytes = std::vector<unsigned char>;

// The test program's operator new records the largest request made while armed. Every form is replaced, so
// that allocation and release always pair up, also under AddressSanitizer.
namespace {

std::atomic<bool> armed{false};
std::atomic<std::size_t> largest{0};

void* allocate(std::size_t size) noexcept {
    if (armed.load(std::memory_order_relaxed)) {
        std::size_t seen = largest.load(std::memory_order_relaxed);
        while (size > seen && !largest.compare_exchange_weak(seen, size, std::memory_order_relaxed)) {
        }
    }
    return std::malloc(size == 0 ? 1 : size);
}

void* allocateOrThrow(std::size_t size) {
    void* const block = allocate(size);
    if (!block) throw std::bad_alloc();
    return block;
}

}  // namespace

void* operator new(std::size_t size) { return allocateOrThrow(size); }
void* operator new[](std::size_t size) { return allocateOrThrow(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return allocate(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return allocate(size); }
void operator delete(void* block) noexcept { std::free(block); }
void operator delete[](void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }
void operator delete[](void* block, std::size_t) noexcept { std::free(block); }
void operator delete(void* block, const std::nothrow_t&) noexcept { std::free(block); }
void operator delete[](void* block, const std::nothrow_t&) noexcept { std::free(block); }

namespace {

// An uncompressed true-colour TGA of the given size and depth: header, pixels, then any trailing bytes.
Bytes tgaFile(uint16_t width, uint16_t height, uint8_t depth, const Bytes& pixels, const Bytes& trailing = {}) {
    Bytes file(18 + pixels.size() + trailing.size(), 0);
    file[2] = 2;
    file[12] = static_cast<unsigned char>(width & 0xff);
    file[13] = static_cast<unsigned char>(width >> 8);
    file[14] = static_cast<unsigned char>(height & 0xff);
    file[15] = static_cast<unsigned char>(height >> 8);
    file[16] = depth;
    std::copy(trailing.begin(), trailing.end(), std::copy(pixels.begin(), pixels.end(), file.begin() + 18));
    return file;
}

// A byte pattern that differs from pixel to pixel and row to row, so row order and alignment show.
Bytes patternPixels(int width, int height, int bytesPerPixel) {
    Bytes pixels;
    for (int row = 0; row < height; ++row)
        for (int i = 0; i < width * bytesPerPixel; ++i) pixels.push_back(static_cast<unsigned char>(17 * row + 3 * i + 1));
    return pixels;
}

std::string patternTga(const std::string& name, uint16_t width, uint16_t height, uint8_t depth) {
    return scratchFile(name, tgaFile(width, height, depth, patternPixels(width, height, depth / 8)));
}

// A parameter of the texture bound to `target`, or of `texture` when one is named (left unbound after).
GLint parameter(GLenum target, GLenum name, GLuint texture = 0) {
    if (texture) glBindTexture(target, texture);
    GLint value = 0;
    glGetTexParameteriv(target, name, &value);
    if (texture) glBindTexture(target, 0);
    return value;
}

GLint levelParameter(GLenum target, GLint level, GLenum name) {
    GLint value = -1;
    glGetTexLevelParameteriv(target, level, name, &value);
    return value;
}

GLint integer(GLenum name) {
    GLint value = -1;
    glGetIntegerv(name, &value);
    return value;
}

bool driverHasAnisotropy() { return epoxy_has_gl_extension("GL_EXT_texture_filter_anisotropic"); }

GLfloat anisotropy(GLuint texture) {
    glBindTexture(GL_TEXTURE_2D, texture);
    GLfloat value = 0;
    glGetTexParameterfv(GL_TEXTURE_2D, GL_TEXTURE_MAX_ANISOTROPY_EXT, &value);
    glBindTexture(GL_TEXTURE_2D, 0);
    return value;
}

// Level 0 of the bound target in the given format, rows packed without padding, row 0 first.
Bytes readLevelZero(GLenum target, GLenum format, size_t bytes) {
    Bytes pixels(bytes, 0xcd);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(target, 0, format, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

// Loads a texture, returns what it printed on standard error, and leaves it bound for inspection.
std::string loadAndBind(const std::string& path, bool clamp = false) {
    GLuint name = 0;
    const std::string errors = omxtest::capturedStderr([&] { name = loadTexture(path, clamp); });
    EXPECT_NE(name, 0u);
    EXPECT_EQ(integer(GL_TEXTURE_BINDING_2D), 0) << "the loader leaves nothing bound";
    glBindTexture(GL_TEXTURE_2D, name);
    return errors;
}

class TextureGl : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(omxtest::ensureGlContext()) << omxtest::glContextFailure();
        while (glGetError() != GL_NO_ERROR) {
        }
    }
    void TearDown() override {
        glBindTexture(GL_TEXTURE_2D, 0);
        glBindTexture(GL_TEXTURE_CUBE_MAP, 0);
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    }
};

}  // namespace

TEST(TgaReader, HugeHeaderSizesAreRefusedWithoutReservingThem) {
    // 32768 x 32767 at 4 bytes fits 32 bits (just under 4 GiB), 65535 x 65535 does not; each file holds
    // 64 bytes of pixels.
    for (const uint16_t height : {uint16_t{32767}, uint16_t{65535}}) {
        const uint16_t width = height == 32767 ? 32768 : 65535;
        const std::string path = scratchFile("huge.tga", tgaFile(width, height, 32, Bytes(64, 1)));
        TgaImage image;
        largest.store(0);
        armed.store(true);
        image = readTga(path);
        armed.store(false);
        SCOPED_TRACE(testing::Message() << width << " x " << height);
        EXPECT_FALSE(image.ok);
        EXPECT_TRUE(image.pixels.empty());
        EXPECT_EQ(image.width, width);
        EXPECT_EQ(image.height, height);
        EXPECT_LT(largest.load(), size_t{1} << 20);
    }
}

TEST_F(TextureGl, EachDepthIsReadAndUploadedUnshiftedFileRowFirstWithAFullMipmapChain) {
    struct Case {
        uint16_t width, height;
        uint8_t depth;
        GLenum internalFormat, pixelFormat;
        GLint sizedFormat;
        Bytes trailing;
    };
    Bytes footer(26, 0);  // a TGA 2.0 footer after the pixels is ignored
    const std::string signature = "TRUEVISION-XFILE.";
    std::copy(signature.begin(), signature.end(), footer.begin() + 8);
    const Case cases[] = {{2, 2, 32, GL_RGBA, GL_BGRA, GL_RGBA8, {}}, {2, 2, 32, GL_RGBA, GL_BGRA, GL_RGBA8, footer},
                          {2, 2, 24, GL_RGB, GL_BGR, GL_RGB8, {}},    {3, 2, 24, GL_RGB, GL_BGR, GL_RGB8, {}},
                          {1, 3, 24, GL_RGB, GL_BGR, GL_RGB8, {}},    {3, 3, 24, GL_RGB, GL_BGR, GL_RGB8, {}},
                          {5, 3, 24, GL_RGB, GL_BGR, GL_RGB8, {}},    {7, 3, 24, GL_RGB, GL_BGR, GL_RGB8, {}},
                          {3, 3, 8, GL_RED, GL_RED, GL_R8, {}},       {5, 3, 8, GL_RED, GL_RED, GL_R8, {}},
                          {4, 4, 8, GL_RED, GL_RED, GL_R8, {}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << " x " << c.height << " depth " << int{c.depth} << " trailing "
                                        << c.trailing.size());
        const Bytes pixels = patternPixels(c.width, c.height, c.depth / 8);
        const std::string path = scratchFile("rows.tga", tgaFile(c.width, c.height, c.depth, pixels, c.trailing));
        const TgaImage image = readTga(path);
        ASSERT_TRUE(image.ok);
        EXPECT_EQ(image.width, c.width);
        EXPECT_EQ(image.height, c.height);
        EXPECT_EQ(image.internalFormat, static_cast<uint32_t>(c.internalFormat));
        EXPECT_EQ(image.pixelFormat, static_cast<uint32_t>(c.pixelFormat));
        EXPECT_EQ(image.pixels, pixels);

        EXPECT_EQ(loadAndBind(path), "");
        EXPECT_EQ(readLevelZero(GL_TEXTURE_2D, c.pixelFormat, pixels.size()), pixels);
        const GLint internalFormat = levelParameter(GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT);
        EXPECT_TRUE(internalFormat == static_cast<GLint>(c.internalFormat) || internalFormat == c.sizedFormat)
            << internalFormat;
        // The chain goes down to 1 x 1.
        int top = 0;
        while ((std::max(c.width, c.height) >> (top + 1)) > 0) ++top;
        EXPECT_EQ(levelParameter(GL_TEXTURE_2D, top, GL_TEXTURE_WIDTH), 1);
        EXPECT_EQ(levelParameter(GL_TEXTURE_2D, top, GL_TEXTURE_HEIGHT), 1);
        if (c.depth == 8) {
            // Grey: one stored channel that every colour channel samples.
            EXPECT_EQ(levelParameter(GL_TEXTURE_2D, 0, GL_TEXTURE_RED_SIZE), 8);
            EXPECT_EQ(levelParameter(GL_TEXTURE_2D, 0, GL_TEXTURE_GREEN_SIZE), 0);
            for (const GLenum channel : {GL_TEXTURE_SWIZZLE_R, GL_TEXTURE_SWIZZLE_G, GL_TEXTURE_SWIZZLE_B})
                EXPECT_EQ(parameter(GL_TEXTURE_2D, channel), GL_RED);
            EXPECT_EQ(parameter(GL_TEXTURE_2D, GL_TEXTURE_SWIZZLE_A), GL_ALPHA);
        }
    }
}

TEST_F(TextureGl, RefusedFilesAreReportedAndKeepTheHeaderSizeWhereTheDriverCanHoldIt) {
    struct Case {
        const char* what;
        std::string path;
        int width, height;
    };
    Bytes oneShort = patternPixels(3, 3, 3);
    oneShort.pop_back();
    Bytes shortHeader = tgaFile(2, 2, 32, {});
    shortHeader.resize(17);
    std::vector<Case> cases = {
        {"one byte short", scratchFile("one-short.tga", tgaFile(3, 3, 24, oneShort)), 3, 3},
        {"missing", omxtest::scratchFolder() + "/no-such-image.tga", 0, 0},
        {"short header", scratchFile("short-header.tga", shortHeader), 0, 0},
        {"a folder", omxtest::scratchFolder(), 0, 0},
        {"wider than a driver may hold", scratchFile("wide.tga", tgaFile(65535, 1, 24, {1, 2, 3})), 65535, 1},
    };
    for (const int depth : {16, 15, 0, 64})
        cases.push_back({"unsupported depth",
                         scratchFile("depth" + std::to_string(depth) + ".tga",
                                     tgaFile(4, 3, static_cast<uint8_t>(depth), Bytes(96, 7))),
                         4, 3});
    const GLint largestSize = integer(GL_MAX_TEXTURE_SIZE);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path + " " + c.what);
        const TgaImage image = readTga(c.path);
        EXPECT_FALSE(image.ok);
        EXPECT_TRUE(image.pixels.empty());
        EXPECT_EQ(image.width, c.width);
        EXPECT_EQ(image.height, c.height);
        EXPECT_EQ(image.internalFormat, static_cast<uint32_t>(GL_RGB));
        EXPECT_EQ(image.pixelFormat, static_cast<uint32_t>(GL_RGB));

        EXPECT_EQ(loadAndBind(c.path), "image load failed: " + c.path + "\n");
        const bool fits = c.width <= largestSize && c.height <= largestSize;
        EXPECT_EQ(levelParameter(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH), fits ? c.width : 0);
        EXPECT_EQ(levelParameter(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT), fits ? c.height : 0);
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    }
}

TEST_F(TextureGl, CubeMapFacesInOrderWithTheirParametersAndBoundOnUnitZero) {
    std::array<std::string, 6> paths;
    std::array<Bytes, 6> faces;
    for (size_t i = 0; i < 6; ++i) {
        faces[i] = patternPixels(2, 2, 3);
        for (unsigned char& byte : faces[i]) byte = static_cast<unsigned char>(byte + 40 * i);
        paths[i] = scratchFile("face" + std::to_string(i) + ".tga", tgaFile(2, 2, 24, faces[i]));
    }
    glActiveTexture(GL_TEXTURE3);
    GLuint name = 0;
    EXPECT_EQ(omxtest::capturedStderr([&] { name = loadCubeMap(paths); }), "");
    EXPECT_EQ(integer(GL_ACTIVE_TEXTURE), GL_TEXTURE0);
    EXPECT_EQ(static_cast<GLuint>(integer(GL_TEXTURE_BINDING_CUBE_MAP)), name);
    EXPECT_EQ(parameter(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_MAG_FILTER), GL_NEAREST);
    EXPECT_EQ(parameter(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_MIN_FILTER), GL_LINEAR_MIPMAP_LINEAR);
    for (const GLenum wrap : {GL_TEXTURE_WRAP_S, GL_TEXTURE_WRAP_T, GL_TEXTURE_WRAP_R})
        EXPECT_EQ(parameter(GL_TEXTURE_CUBE_MAP, wrap), GL_MIRRORED_REPEAT);
    const GLenum targets[6] = {GL_TEXTURE_CUBE_MAP_POSITIVE_X, GL_TEXTURE_CUBE_MAP_NEGATIVE_X,
                               GL_TEXTURE_CUBE_MAP_POSITIVE_Y, GL_TEXTURE_CUBE_MAP_NEGATIVE_Y,
                               GL_TEXTURE_CUBE_MAP_POSITIVE_Z, GL_TEXTURE_CUBE_MAP_NEGATIVE_Z};
    for (size_t i = 0; i < 6; ++i)
        EXPECT_EQ(readLevelZero(targets[i], GL_BGR, faces[i].size()), faces[i]) << "face " << i;
    EXPECT_EQ(levelParameter(GL_TEXTURE_CUBE_MAP_NEGATIVE_Z, 1, GL_TEXTURE_WIDTH), 1);

    // A missing face is reported and left empty; a face of another size makes the cube incomplete. Neither
    // raises a GL error.
    std::array<std::string, 6> missingFace = paths;
    missingFace[3] = omxtest::scratchFolder() + "/yneg-missing.tga";
    EXPECT_EQ(omxtest::capturedStderr([&] { EXPECT_NE(loadCubeMap(missingFace), 0u); }),
              "image load failed: " + missingFace[3] + "\n");
    EXPECT_EQ(levelParameter(GL_TEXTURE_CUBE_MAP_POSITIVE_X, 0, GL_TEXTURE_WIDTH), 2);
    EXPECT_EQ(levelParameter(GL_TEXTURE_CUBE_MAP_NEGATIVE_Y, 0, GL_TEXTURE_WIDTH), 0);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    std::array<std::string, 6> largerFace = paths;
    largerFace[5] = patternTga("larger.tga", 4, 4, 24);
    EXPECT_EQ(omxtest::capturedStderr([&] { loadCubeMap(largerFace); }), "");
    EXPECT_EQ(levelParameter(GL_TEXTURE_CUBE_MAP_NEGATIVE_Z, 0, GL_TEXTURE_WIDTH), 4);
}

// Two models with two counted textures each, a model counting only the first of two, and a sky box whose
// cube map is held but not counted.
class TextureFiltering : public TextureGl {
protected:
    void SetUp() override {
        TextureGl::SetUp();
        const std::string image = patternTga("filter.tga", 4, 4, 32);
        for (auto* model : {&first, &second}) {
            model->textures = {loadTexture(image, false), loadTexture(image, true)};
            model->textureCount = 2;
        }
        partlyCounted.textures = {loadTexture(image, false), loadTexture(image, false)};
        partlyCounted.textureCount = 1;
        std::array<std::string, 6> faces;
        faces.fill(image);
        skyBox.textures = {loadCubeMap(faces)};
        glBindTexture(GL_TEXTURE_CUBE_MAP, 0);
        while (glGetError() != GL_NO_ERROR) {
        }
    }
    void TearDown() override {
        applyTextureFiltering(true, true);
        TextureGl::TearDown();
    }

    Model first, second, partlyCounted, skyBox;
};


TEST_F(TextureFiltering, EachCombinationSetsMinificationAndAnisotropyOfCountedTexturesOnly) {
    struct Case {
        bool mipmapping;
        bool trilinear;
        GLint minification;
    };
    const Case cases[] = {{false, false, GL_NEAREST},
                          {true, false, GL_NEAREST_MIPMAP_NEAREST},
                          {false, true, GL_LINEAR},
                          {true, true, GL_LINEAR_MIPMAP_LINEAR}};
    const GLuint counted[] = {first.textures[0], first.textures[1], second.textures[0], second.textures[1],
                              partlyCounted.textures[0]};
    // As created: trilinear mipmaps; the clamped texture has a black border.
    for (const GLuint texture : counted)
        EXPECT_EQ(parameter(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, texture), GL_LINEAR_MIPMAP_LINEAR);
    GLfloat border[4] = {-1, -1, -1, -1};
    glBindTexture(GL_TEXTURE_2D, first.textures[1]);
    glGetTexParameterfv(GL_TEXTURE_2D, GL_TEXTURE_BORDER_COLOR, border);
    glBindTexture(GL_TEXTURE_2D, 0);
    EXPECT_EQ(std::vector<GLfloat>(border, border + 4), (std::vector<GLfloat>{0, 0, 0, 1}));
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "mipmapping " << c.mipmapping << " trilinear " << c.trilinear);
        applyTextureFiltering(c.mipmapping, c.trilinear);
        for (const GLuint texture : counted) {
            SCOPED_TRACE(testing::Message() << "texture " << texture);
            EXPECT_EQ(parameter(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, texture), c.minification);
            EXPECT_EQ(parameter(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, texture), GL_LINEAR);
            if (driverHasAnisotropy()) {
                EXPECT_EQ(anisotropy(texture), c.trilinear ? largestUsableAnisotropy() : 1.0f);
            }
        }
        // Wrap modes stay as created, and nothing is left bound.
        for (const GLenum wrap : {GL_TEXTURE_WRAP_S, GL_TEXTURE_WRAP_T}) {
            EXPECT_EQ(parameter(GL_TEXTURE_2D, wrap, first.textures[0]), GL_REPEAT);
            EXPECT_EQ(parameter(GL_TEXTURE_2D, wrap, first.textures[1]), GL_CLAMP_TO_BORDER);
        }
        EXPECT_EQ(integer(GL_TEXTURE_BINDING_2D), 0);
        // The uncounted texture and the sky box keep what they were created with.
        EXPECT_EQ(parameter(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, partlyCounted.textures[1]), GL_LINEAR_MIPMAP_LINEAR);
        EXPECT_EQ(parameter(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_MIN_FILTER, skyBox.textures[0]), GL_LINEAR_MIPMAP_LINEAR);
        EXPECT_EQ(parameter(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_MAG_FILTER, skyBox.textures[0]), GL_NEAREST);
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    }
    // A count larger than the texture list walks only what exists.
    partlyCounted.textureCount = 5;
    applyTextureFiltering(false, false);
    EXPECT_EQ(parameter(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, partlyCounted.textures[1]), GL_NEAREST);
}

TEST(Anisotropy, SoftwareRasterizersGetNoneAndEveryOtherDriverItsLargest) {
    const std::vector<std::tuple<const char*, float, float>> cases = {
        {"llvmpipe (LLVM 15.0.6, 256 bits)", 16, 1},
        {"softpipe", 16, 1},
        {"Mesa DRI Software Rasterizer", 8, 1},
        {"AMD Radeon RX 6600 (navi23, LLVM 15.0.6, DRM 3.49, 6.1.0-13-amd64)", 16, 16},
        {"Mesa Intel(R) UHD Graphics 620 (KBL GT2)", 16, 16},
        {"NVIDIA GeForce GTX 1060/PCIe/SSE2", 4, 4},
        {"", 0, 1},  // a driver that reports nothing usable still gets the plain filter
    };
    for (const auto& [renderer, driverLargest, expected] : cases)
        EXPECT_EQ(usableAnisotropy(renderer, driverLargest), expected) << renderer;

    // New textures get what the context's own renderer decides: none on the test machines' llvmpipe.
    ASSERT_TRUE(omxtest::ensureGlContext()) << omxtest::glContextFailure();
    if (!driverHasAnisotropy()) GTEST_SKIP() << "no anisotropic filter on this driver";
    GLfloat driverLargest = 0;
    glGetFloatv(GL_MAX_TEXTURE_MAX_ANISOTROPY_EXT, &driverLargest);
    const std::string renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    const GLfloat expected = usableAnisotropy(renderer, driverLargest);
    EXPECT_EQ(largestUsableAnisotropy(), expected);
    const GLuint texture = loadTexture(patternTga("anisotropy.tga", 4, 4, 24), false);
    EXPECT_EQ(anisotropy(texture), expected);
    if (renderer.find("llvmpipe") != std::string::npos) {
        EXPECT_GT(driverLargest, 1.0f);
        EXPECT_EQ(anisotropy(texture), 1.0f);
    }
    glDeleteTextures(1, &texture);
}

// TextureTest.cpp -- the TGA reader (formats, refusals, huge headers it must not reserve), 2D textures and the
// cube map read back from GL, the load-failed message, and the run-time filter switches.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
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

// Every form of operator new is replaced, so that allocation and release pair up under AddressSanitizer too;
// while armed, the largest request is recorded.
namespace {
std::atomic<bool> armed{false};
std::atomic<std::size_t> largest{0};
void* allocate(std::size_t size) noexcept {
    for (std::size_t seen = largest; armed && size > seen && !largest.compare_exchange_weak(seen, size);) {
    }
    return std::malloc(size == 0 ? 1 : size);
}
void* allocateOrThrow(std::size_t size) {
    if (void* const block = allocate(size)) return block;
    throw std::bad_alloc();
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

Bytes tgaFile(uint16_t width, uint16_t height, uint8_t depth, const Bytes& pixels, const Bytes& trailing = {}) {
    const auto byte = [](int value) { return static_cast<unsigned char>(value); };
    Bytes file = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, byte(width), byte(width >> 8), byte(height), byte(height >> 8),
                  depth, 0};
    file.insert(file.end(), pixels.begin(), pixels.end());
    file.insert(file.end(), trailing.begin(), trailing.end());
    return file;
}

// The file with header byte `at` set to `value`.
Bytes withHeaderByte(Bytes file, std::size_t at, unsigned char value) {
    file[at] = value;
    return file;
}

// A byte pattern that differs from pixel to pixel and row to row, so row order and alignment show.
Bytes patternPixels(int width, int height, int bytesPerPixel, int first = 1) {
    Bytes pixels;
    for (int row = 0; row < height; ++row)
        for (int i = 0; i < width * bytesPerPixel; ++i)
            pixels.push_back(static_cast<unsigned char>(17 * row + 3 * i + first));
    return pixels;
}

std::string patternTga(const std::string& name, uint16_t width, uint16_t height, uint8_t depth) {
    return scratchFile(name, tgaFile(width, height, depth, patternPixels(width, height, depth / 8)));
}

using Shape = std::tuple<bool, int32_t, int32_t, uint32_t, uint32_t, size_t>;  // ok, size, formats, pixel bytes
Shape shape(const TgaImage& image) {
    return {image.ok, image.width, image.height, image.internalFormat, image.pixelFormat, image.pixels.size()};
}

// Parameters of the texture bound to `target`, or of `texture` when one is named (left unbound after).
std::vector<GLint> parameters(GLenum target, std::initializer_list<GLenum> names, GLuint texture = 0) {
    if (texture) glBindTexture(target, texture);
    std::vector<GLint> values;
    for (const GLenum name : names) glGetTexParameteriv(target, name, &values.emplace_back(-1));
    if (texture) glBindTexture(target, 0);
    return values;
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

// Level 0 of the bound target in the given format, rows packed without padding, row 0 first.
Bytes readLevelZero(GLenum target, GLenum format, size_t bytes) {
    Bytes pixels(bytes, 0xcd);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(target, 0, format, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

// Loads a texture, returns what it printed on standard error, and leaves it bound for inspection.
std::string loadAndBind(const std::string& path) {
    GLuint name = 0;
    const std::string errors = omxtest::capturedStderr([&] { name = loadTexture(path, false); });
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
    void TearDown() override { EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR)); }
};

}  // namespace

TEST(TgaReader, HugeHeaderSizesAreRefusedWithoutReservingThem) {
    // 32768 x 32767 at 4 bytes fits 32 bits, 65535 x 65535 does not; each file holds 64 bytes of pixels.
    for (const auto& [width, height] : {std::pair<uint16_t, uint16_t>{32768, 32767}, {65535, 65535}}) {
        const std::string path = scratchFile("huge.tga", tgaFile(width, height, 32, Bytes(64, 1)));
        largest = 0;
        armed = true;
        const TgaImage image = readTga(path);
        armed = false;
        EXPECT_EQ(shape(image), Shape(false, width, height, GL_RGB, GL_RGB, 0));
        EXPECT_LT(largest.load(), size_t{1} << 20) << width << " x " << height;
    }
}

TEST_F(TextureGl, EachDepthIsReadAndUploadedUnshiftedFileRowFirstWithAFullMipmapChain) {
    const std::string footer = std::string(8, '\0') + "TRUEVISION-XFILE." + '\0';  // a TGA 2.0 footer is ignored
    const struct {
        uint16_t width, height;
        uint8_t depth;
        GLenum internalFormat, pixelFormat;
        GLint sizedFormat;
        Bytes trailing;
    } cases[] = {{2, 2, 32, GL_RGBA, GL_BGRA, GL_RGBA8, Bytes(footer.begin(), footer.end())},
                 {3, 2, 24, GL_RGB, GL_BGR, GL_RGB8, {}},
                 {5, 3, 8, GL_RED, GL_RED, GL_R8, {}}, {4, 4, 8, GL_RED, GL_RED, GL_R8, {}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << " x " << c.height << " depth " << int{c.depth});
        const Bytes pixels = patternPixels(c.width, c.height, c.depth / 8);
        const std::string path = scratchFile("rows.tga", tgaFile(c.width, c.height, c.depth, pixels, c.trailing));
        const TgaImage image = readTga(path);
        EXPECT_EQ(shape(image), Shape(true, c.width, c.height, c.internalFormat, c.pixelFormat, pixels.size()));
        EXPECT_EQ(image.pixels, pixels);

        EXPECT_EQ(loadAndBind(path), "");
        EXPECT_EQ(readLevelZero(GL_TEXTURE_2D, c.pixelFormat, pixels.size()), pixels);
        const GLint internalFormat = levelParameter(GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT);
        EXPECT_THAT(internalFormat, testing::AnyOf(testing::Eq(static_cast<GLint>(c.internalFormat)),
                                                   testing::Eq(c.sizedFormat)));
        const auto top = static_cast<GLint>(std::log2(std::max(c.width, c.height)));
        EXPECT_EQ(std::make_pair(levelParameter(GL_TEXTURE_2D, top, GL_TEXTURE_WIDTH),
                                 levelParameter(GL_TEXTURE_2D, top, GL_TEXTURE_HEIGHT)),
                  std::make_pair(1, 1))
            << "the chain goes down to 1 x 1";
        if (c.depth == 8) {
            EXPECT_EQ(parameters(GL_TEXTURE_2D, {GL_TEXTURE_SWIZZLE_R, GL_TEXTURE_SWIZZLE_G, GL_TEXTURE_SWIZZLE_B,
                                                 GL_TEXTURE_SWIZZLE_A}),
                      (std::vector<GLint>{GL_RED, GL_RED, GL_RED, GL_ALPHA}))
                << "grey: every colour channel samples the one stored";
        }
    }
}

TEST(TgaReader, TheImageIdIsSkippedAndTheGreyTypeRead) {
    const Bytes pixels = patternPixels(3, 2, 3);
    Bytes file = withHeaderByte(tgaFile(3, 2, 24, pixels), 0, 5);
    const Bytes id = {'o', 'm', 'n', 'i', 'v'};
    file.insert(file.begin() + 18, id.begin(), id.end());
    TgaImage image = readTga(scratchFile("with-id.tga", file));
    EXPECT_EQ(shape(image), Shape(true, 3, 2, GL_RGB, GL_BGR, pixels.size()));
    EXPECT_EQ(image.pixels, pixels) << "the pixels start after the ID";

    const Bytes grey = patternPixels(4, 2, 1);
    image = readTga(scratchFile("grey.tga", withHeaderByte(tgaFile(4, 2, 8, grey), 2, 3)));
    EXPECT_EQ(shape(image), Shape(true, 4, 2, GL_RED, GL_RED, grey.size()));
    EXPECT_EQ(image.pixels, grey);
}

TEST_F(TextureGl, RefusedFilesAreReportedAndKeepTheHeaderSizeWhereTheDriverCanHoldIt) {
    const struct {
        std::string path;
        int width, height;
    } cases[] = {
        {scratchFile("one-short.tga", tgaFile(3, 3, 24, Bytes(26, 7))), 3, 3},
        {omxtest::scratchFolder() + "/no-such-image.tga", 0, 0},
        {scratchFile("short-header.tga", Bytes(17, 0)), 0, 0},
        {omxtest::scratchFolder(), 0, 0},
        {scratchFile("depth16.tga", tgaFile(4, 3, 16, Bytes(96, 7))), 4, 3},
        {scratchFile("wide.tga", tgaFile(65535, 1, 24, {1, 2, 3})), 65535, 1},  // wider than a driver may hold
        // Run-length coded, colour-mapped or no image at all: not read as if the bytes were plain pixels.
        {scratchFile("rle.tga", withHeaderByte(tgaFile(2, 2, 24, Bytes(12, 7)), 2, 10)), 2, 2},
        {scratchFile("mapped.tga", withHeaderByte(withHeaderByte(tgaFile(2, 2, 24, Bytes(12, 7)), 2, 1), 1, 1)), 2, 2},
        {scratchFile("no-image.tga", withHeaderByte(tgaFile(2, 2, 24, Bytes(12, 7)), 2, 0)), 2, 2},
        // An image ID longer than what follows the header.
        {scratchFile("long-id.tga", withHeaderByte(tgaFile(2, 2, 24, Bytes(12, 7)), 0, 200)), 2, 2},
    };
    const GLint largestSize = integer(GL_MAX_TEXTURE_SIZE);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(shape(readTga(c.path)), Shape(false, c.width, c.height, GL_RGB, GL_RGB, 0));
        EXPECT_EQ(loadAndBind(c.path), "image load failed: " + c.path + "\n");
        const bool fits = c.width <= largestSize && c.height <= largestSize;
        EXPECT_EQ(levelParameter(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH), fits ? c.width : 0);
        EXPECT_EQ(levelParameter(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT), fits ? c.height : 0);
    }
}

TEST_F(TextureGl, CubeMapFacesInOrderWithTheirParametersAndBoundOnUnitZero) {
    std::array<std::string, 6> paths;
    std::array<Bytes, 6> faces;
    for (size_t i = 0; i < 6; ++i) {
        faces[i] = patternPixels(2, 2, 3, 1 + 40 * static_cast<int>(i));
        paths[i] = scratchFile("face" + std::to_string(i) + ".tga", tgaFile(2, 2, 24, faces[i]));
    }
    glActiveTexture(GL_TEXTURE3);
    GLuint name = 0;
    EXPECT_EQ(omxtest::capturedStderr([&] { name = loadCubeMap(paths); }), "");
    EXPECT_EQ(integer(GL_ACTIVE_TEXTURE), GL_TEXTURE0);
    EXPECT_EQ(static_cast<GLuint>(integer(GL_TEXTURE_BINDING_CUBE_MAP)), name);
    EXPECT_EQ(parameters(GL_TEXTURE_CUBE_MAP, {GL_TEXTURE_MAG_FILTER, GL_TEXTURE_MIN_FILTER, GL_TEXTURE_WRAP_S,
                                               GL_TEXTURE_WRAP_T, GL_TEXTURE_WRAP_R}),
              (std::vector<GLint>{GL_NEAREST, GL_LINEAR_MIPMAP_LINEAR, GL_MIRRORED_REPEAT, GL_MIRRORED_REPEAT,
                                  GL_MIRRORED_REPEAT}));
    for (GLenum i = 0; i < 6; ++i)
        EXPECT_EQ(readLevelZero(GL_TEXTURE_CUBE_MAP_POSITIVE_X + i, GL_BGR, faces[i].size()), faces[i]) << "face " << i;
    EXPECT_EQ(levelParameter(GL_TEXTURE_CUBE_MAP_NEGATIVE_Z, 1, GL_TEXTURE_WIDTH), 1);

    // A missing face is reported and left empty; a face of another size leaves the cube without mipmaps.
    std::array<std::string, 6> missingFace = paths;
    missingFace[3] = omxtest::scratchFolder() + "/yneg-missing.tga";
    EXPECT_EQ(omxtest::capturedStderr([&] { EXPECT_NE(loadCubeMap(missingFace), 0u); }),
              "image load failed: " + missingFace[3] + "\n");
    EXPECT_EQ(levelParameter(GL_TEXTURE_CUBE_MAP_POSITIVE_X, 0, GL_TEXTURE_WIDTH), 2);
    EXPECT_EQ(levelParameter(GL_TEXTURE_CUBE_MAP_NEGATIVE_Y, 0, GL_TEXTURE_WIDTH), 0);
    std::array<std::string, 6> largerFace = paths;
    largerFace[5] = patternTga("larger.tga", 4, 4, 24);
    EXPECT_EQ(omxtest::capturedStderr([&] { loadCubeMap(largerFace); }), "");
    EXPECT_EQ(levelParameter(GL_TEXTURE_CUBE_MAP_NEGATIVE_Z, 0, GL_TEXTURE_WIDTH), 4);
}

TEST(Anisotropy, SoftwareRasterizersGetNoneAndEveryOtherDriverItsLargest) {
    const std::tuple<const char*, float, float> cases[] = {
        {"llvmpipe (LLVM 15.0.6, 256 bits)", 16, 1}, {"softpipe", 16, 1}, {"Mesa DRI Software Rasterizer", 8, 1},
        {"NVIDIA GeForce GTX 1060/PCIe/SSE2", 4, 4}, {"", 0, 1}};
    for (const auto& [renderer, driverLargest, expected] : cases)
        EXPECT_EQ(usableAnisotropy(renderer, driverLargest), expected) << renderer;
}

// A model with two counted textures (the second clamped), a model counting only the first of two, and a sky box
// whose cube map is held but not counted.
class TextureFiltering : public TextureGl {
protected:
    void SetUp() override {
        TextureGl::SetUp();
        const std::string image = patternTga("filter.tga", 4, 4, 32);
        first.textures = {loadTexture(image, false), loadTexture(image, true)};
        first.textureCount = 2;
        partlyCounted.textures = {loadTexture(image, false), loadTexture(image, false)};
        partlyCounted.textureCount = 1;
        skyBox.textures = {loadCubeMap({image, image, image, image, image, image})};
        glBindTexture(GL_TEXTURE_CUBE_MAP, 0);
    }
    void TearDown() override {
        applyTextureFiltering(true, true);
        TextureGl::TearDown();
    }

    Model first, partlyCounted, skyBox;
};

TEST_F(TextureFiltering, EachCombinationSetsMinificationAndAnisotropyOfCountedTexturesOnly) {
    const GLuint counted[] = {first.textures[0], first.textures[1], partlyCounted.textures[0]};
    const GLuint uncounted = partlyCounted.textures[1];
    // As created: trilinear mipmaps with the anisotropy the renderer allows, repeating or clamped to a black border.
    GLfloat driverLargest = 0;
    glGetFloatv(GL_MAX_TEXTURE_MAX_ANISOTROPY_EXT, &driverLargest);
    const auto usable =
        static_cast<GLint>(usableAnisotropy(reinterpret_cast<const char*>(glGetString(GL_RENDERER)), driverLargest));
    for (const GLuint texture : counted)
        EXPECT_EQ(parameters(GL_TEXTURE_2D, {GL_TEXTURE_MIN_FILTER, GL_TEXTURE_MAX_ANISOTROPY_EXT}, texture),
                  (std::vector<GLint>{GL_LINEAR_MIPMAP_LINEAR, usable}));
    for (const auto& [texture, wrap] :
         {std::pair{first.textures[0], GL_REPEAT}, std::pair{first.textures[1], GL_CLAMP_TO_BORDER}})
        EXPECT_EQ(parameters(GL_TEXTURE_2D, {GL_TEXTURE_WRAP_S, GL_TEXTURE_WRAP_T}, texture),
                  std::vector<GLint>(2, wrap));
    std::vector<GLfloat> border(4, -1);
    glBindTexture(GL_TEXTURE_2D, first.textures[1]);
    glGetTexParameterfv(GL_TEXTURE_2D, GL_TEXTURE_BORDER_COLOR, border.data());
    EXPECT_EQ(border, (std::vector<GLfloat>{0, 0, 0, 1}));

    const std::tuple<bool, bool, GLint> cases[] = {{false, false, GL_NEAREST},
                                                   {true, false, GL_NEAREST_MIPMAP_NEAREST},
                                                   {false, true, GL_LINEAR},
                                                   {true, true, GL_LINEAR_MIPMAP_LINEAR}};
    for (const auto& [mipmapping, trilinear, minification] : cases) {
        SCOPED_TRACE(testing::Message() << "mipmapping " << mipmapping << " trilinear " << trilinear);
        applyTextureFiltering(mipmapping, trilinear);
        EXPECT_EQ(integer(GL_TEXTURE_BINDING_2D), 0);
        for (const GLuint texture : counted)
            EXPECT_EQ(parameters(GL_TEXTURE_2D, {GL_TEXTURE_MIN_FILTER, GL_TEXTURE_MAG_FILTER,
                                                 GL_TEXTURE_MAX_ANISOTROPY_EXT}, texture),
                      (std::vector<GLint>{minification, GL_LINEAR, trilinear ? usable : 1}));
        EXPECT_EQ(parameters(GL_TEXTURE_2D, {GL_TEXTURE_MIN_FILTER}, uncounted)[0], GL_LINEAR_MIPMAP_LINEAR);
        EXPECT_EQ(parameters(GL_TEXTURE_CUBE_MAP, {GL_TEXTURE_MIN_FILTER, GL_TEXTURE_MAG_FILTER}, skyBox.textures[0]),
                  (std::vector<GLint>{GL_LINEAR_MIPMAP_LINEAR, GL_NEAREST}));
    }
    // A count larger than the texture list walks only what exists.
    partlyCounted.textureCount = 5;
    applyTextureFiltering(false, false);
    EXPECT_EQ(parameters(GL_TEXTURE_2D, {GL_TEXTURE_MIN_FILTER}, uncounted)[0], GL_NEAREST);
}

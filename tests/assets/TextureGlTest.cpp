// TextureGlTest.cpp -- 2D textures and the cube map on a real context: contents read back from GL, sampling
// parameters, the load-failed message, and the absence of GL errors on every path.
#include <gtest/gtest.h>

#include <epoxy/gl.h>

#include "AssetFiles.h"
#include "assets/Texture.h"
#include "support/GlContext.h"

using assettest::patternPixels;
using assettest::tgaFile;
using assettest::writeScratchFile;

namespace {

struct LevelSize {
    GLint width = -1;
    GLint height = -1;
};

LevelSize levelSize(GLenum target, GLint level) {
    LevelSize size;
    glGetTexLevelParameteriv(target, level, GL_TEXTURE_WIDTH, &size.width);
    glGetTexLevelParameteriv(target, level, GL_TEXTURE_HEIGHT, &size.height);
    return size;
}

GLint parameter(GLenum target, GLenum name) {
    GLint value = 0;
    glGetTexParameteriv(target, name, &value);
    return value;
}

// Level 0 of the bound target in the given format, rows packed without padding, row 0 first.
std::vector<unsigned char> readLevelZero(GLenum target, GLenum format, size_t bytes) {
    std::vector<unsigned char> pixels(bytes, 0xcd);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(target, 0, format, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

std::string loadAndCaptureErrors(const std::string& path, bool clamp, GLuint& name) {
    testing::internal::CaptureStderr();
    name = loadTexture(path, clamp);
    return testing::internal::GetCapturedStderr();
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
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    }
};

}  // namespace

TEST_F(TextureGl, FirstFileRowIsTextureRowZeroForBothDepths) {
    struct Case {
        uint8_t depth;
        GLenum format;
        GLint internalFormat;
    };
    for (const Case& c : {Case{32, GL_BGRA, GL_RGBA}, Case{24, GL_BGR, GL_RGB}}) {
        const std::vector<unsigned char> pixels = patternPixels(2, 2, c.depth / 8);
        GLuint name = 0;
        const std::string errors = loadAndCaptureErrors(writeScratchFile("rows.tga", tgaFile(2, 2, c.depth, pixels)),
                                                        false, name);
        EXPECT_EQ(errors, "");
        ASSERT_NE(name, 0u);
        glBindTexture(GL_TEXTURE_2D, name);
        EXPECT_EQ(readLevelZero(GL_TEXTURE_2D, c.format, pixels.size()), pixels) << "depth " << int{c.depth};
        GLint internalFormat = 0;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT, &internalFormat);
        EXPECT_TRUE(internalFormat == c.internalFormat ||
                    internalFormat == (c.internalFormat == GL_RGBA ? GL_RGBA8 : GL_RGB8));
        // A full mipmap chain exists: the 1 x 1 level is defined.
        EXPECT_EQ(levelSize(GL_TEXTURE_2D, 1).width, 1);
    }
}

TEST_F(TextureGl, OddRowLengthsUploadUnshifted) {
    for (const int width : {1, 3, 5, 7}) {
        const std::vector<unsigned char> pixels = patternPixels(width, 3, 3);
        GLuint name = 0;
        const std::string path =
            writeScratchFile("odd.tga", tgaFile(static_cast<uint16_t>(width), 3, 24, pixels));
        EXPECT_EQ(loadAndCaptureErrors(path, false, name), "");
        glBindTexture(GL_TEXTURE_2D, name);
        EXPECT_EQ(readLevelZero(GL_TEXTURE_2D, GL_BGR, pixels.size()), pixels) << "width " << width;
    }
}

TEST_F(TextureGl, EightBitImageIsAOneChannelGreyTexture) {
    const std::vector<unsigned char> grey = patternPixels(3, 3, 1);
    GLuint name = 0;
    EXPECT_EQ(loadAndCaptureErrors(writeScratchFile("grey.tga", tgaFile(3, 3, 8, grey)), false, name), "");
    glBindTexture(GL_TEXTURE_2D, name);
    EXPECT_EQ(readLevelZero(GL_TEXTURE_2D, GL_RED, grey.size()), grey);
    GLint redBits = 0, greenBits = -1;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_RED_SIZE, &redBits);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_GREEN_SIZE, &greenBits);
    EXPECT_EQ(redBits, 8);
    EXPECT_EQ(greenBits, 0);
    EXPECT_EQ(parameter(GL_TEXTURE_2D, GL_TEXTURE_SWIZZLE_R), GL_RED);
    EXPECT_EQ(parameter(GL_TEXTURE_2D, GL_TEXTURE_SWIZZLE_G), GL_RED);
    EXPECT_EQ(parameter(GL_TEXTURE_2D, GL_TEXTURE_SWIZZLE_B), GL_RED);
    EXPECT_EQ(parameter(GL_TEXTURE_2D, GL_TEXTURE_SWIZZLE_A), GL_ALPHA);
}

TEST_F(TextureGl, RefusedFilesAreReportedAndKeepTheirHeaderSize) {
    GLuint name = 0;
    const std::string sixteen =
        writeScratchFile("sixteen.tga", tgaFile(4, 3, 16, std::vector<unsigned char>(24, 9)));
    EXPECT_EQ(loadAndCaptureErrors(sixteen, false, name), "image load failed: " + sixteen + "\n");
    ASSERT_NE(name, 0u);
    glBindTexture(GL_TEXTURE_2D, name);
    EXPECT_EQ(levelSize(GL_TEXTURE_2D, 0).width, 4);
    EXPECT_EQ(levelSize(GL_TEXTURE_2D, 0).height, 3);

    const std::string missing = assettest::scratchDirectory() + "/missing.tga";
    EXPECT_EQ(loadAndCaptureErrors(missing, false, name), "image load failed: " + missing + "\n");
    ASSERT_NE(name, 0u);
    glBindTexture(GL_TEXTURE_2D, name);
    EXPECT_EQ(levelSize(GL_TEXTURE_2D, 0).width, 0);
    EXPECT_EQ(levelSize(GL_TEXTURE_2D, 0).height, 0);

    std::vector<unsigned char> pixels = patternPixels(2, 2, 4);
    pixels.pop_back();
    const std::string oneShort = writeScratchFile("short.tga", tgaFile(2, 2, 32, pixels));
    EXPECT_EQ(loadAndCaptureErrors(oneShort, false, name), "image load failed: " + oneShort + "\n");
}

TEST_F(TextureGl, HeaderLargerThanTheDriverAllowsGivesAnEmptyLevelWithoutError) {
    GLint largest = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &largest);
    if (largest >= 65535) GTEST_SKIP() << "driver takes 65535-wide textures";
    const std::string path = writeScratchFile("wide.tga", tgaFile(65535, 1, 24, {1, 2, 3}));
    GLuint name = 0;
    EXPECT_EQ(loadAndCaptureErrors(path, false, name), "image load failed: " + path + "\n");
    glBindTexture(GL_TEXTURE_2D, name);
    EXPECT_EQ(levelSize(GL_TEXTURE_2D, 0).width, 0);
}

TEST_F(TextureGl, SamplingParametersOfRepeatedAndClampedTextures) {
    const std::string path = writeScratchFile("params.tga", tgaFile(2, 2, 32, patternPixels(2, 2, 4)));
    for (const bool clamp : {false, true}) {
        GLuint name = 0;
        EXPECT_EQ(loadAndCaptureErrors(path, clamp, name), "");
        glBindTexture(GL_TEXTURE_2D, name);
        EXPECT_EQ(parameter(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER), GL_LINEAR);
        EXPECT_EQ(parameter(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER), GL_LINEAR_MIPMAP_LINEAR);
        const GLint wrap = clamp ? GL_CLAMP_TO_BORDER : GL_REPEAT;
        EXPECT_EQ(parameter(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S), wrap);
        EXPECT_EQ(parameter(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T), wrap);
        if (clamp) {
            GLfloat border[4] = {-1, -1, -1, -1};
            glGetTexParameterfv(GL_TEXTURE_2D, GL_TEXTURE_BORDER_COLOR, border);
            EXPECT_EQ(border[0], 0.0f);
            EXPECT_EQ(border[1], 0.0f);
            EXPECT_EQ(border[2], 0.0f);
            EXPECT_EQ(border[3], 1.0f);
        }
        if (epoxy_has_gl_extension("GL_EXT_texture_filter_anisotropic")) {
            GLfloat anisotropy = 0;
            glGetTexParameterfv(GL_TEXTURE_2D, GL_TEXTURE_MAX_ANISOTROPY_EXT, &anisotropy);
            EXPECT_EQ(anisotropy, largestUsableAnisotropy());
        }
        glBindTexture(GL_TEXTURE_2D, 0);
    }
    // The loader leaves nothing bound.
    GLuint name = 0;
    loadAndCaptureErrors(path, false, name);
    GLint bound = -1;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(bound, 0);
}

TEST_F(TextureGl, CubeMapFacesInOrderWithTheirParametersAndBoundOnUnitZero) {
    std::array<std::string, 6> paths;
    std::array<std::vector<unsigned char>, 6> faces;
    for (size_t i = 0; i < 6; ++i) {
        faces[i] = patternPixels(2, 2, 3);
        for (unsigned char& byte : faces[i]) byte = static_cast<unsigned char>(byte + 40 * i);
        paths[i] = writeScratchFile("face" + std::to_string(i) + ".tga", tgaFile(2, 2, 24, faces[i]));
    }
    glActiveTexture(GL_TEXTURE3);
    testing::internal::CaptureStderr();
    const GLuint name = loadCubeMap(paths);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    GLint active = 0, bound = 0;
    glGetIntegerv(GL_ACTIVE_TEXTURE, &active);
    glGetIntegerv(GL_TEXTURE_BINDING_CUBE_MAP, &bound);
    EXPECT_EQ(active, GL_TEXTURE0);
    EXPECT_EQ(static_cast<GLuint>(bound), name);
    EXPECT_EQ(parameter(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_MAG_FILTER), GL_NEAREST);
    EXPECT_EQ(parameter(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_MIN_FILTER), GL_LINEAR_MIPMAP_LINEAR);
    EXPECT_EQ(parameter(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_WRAP_S), GL_MIRRORED_REPEAT);
    EXPECT_EQ(parameter(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_WRAP_T), GL_MIRRORED_REPEAT);
    EXPECT_EQ(parameter(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_WRAP_R), GL_MIRRORED_REPEAT);
    const GLenum targets[6] = {GL_TEXTURE_CUBE_MAP_POSITIVE_X, GL_TEXTURE_CUBE_MAP_NEGATIVE_X,
                               GL_TEXTURE_CUBE_MAP_POSITIVE_Y, GL_TEXTURE_CUBE_MAP_NEGATIVE_Y,
                               GL_TEXTURE_CUBE_MAP_POSITIVE_Z, GL_TEXTURE_CUBE_MAP_NEGATIVE_Z};
    for (size_t i = 0; i < 6; ++i)
        EXPECT_EQ(readLevelZero(targets[i], GL_BGR, faces[i].size()), faces[i]) << "face " << i;
    EXPECT_EQ(levelSize(GL_TEXTURE_CUBE_MAP_NEGATIVE_Z, 1).width, 1);
    glBindTexture(GL_TEXTURE_CUBE_MAP, 0);
}

TEST_F(TextureGl, IncompleteCubeMapsAreReportedAndRaiseNoGlError) {
    std::array<std::string, 6> paths;
    for (size_t i = 0; i < 6; ++i)
        paths[i] = writeScratchFile("side" + std::to_string(i) + ".tga", tgaFile(2, 2, 24, patternPixels(2, 2, 3)));

    std::array<std::string, 6> missingFace = paths;
    missingFace[3] = assettest::scratchDirectory() + "/yneg-missing.tga";
    testing::internal::CaptureStderr();
    EXPECT_NE(loadCubeMap(missingFace), 0u);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "image load failed: " + missingFace[3] + "\n");
    EXPECT_EQ(levelSize(GL_TEXTURE_CUBE_MAP_POSITIVE_X, 0).width, 2);
    EXPECT_EQ(levelSize(GL_TEXTURE_CUBE_MAP_NEGATIVE_Y, 0).width, 0);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

    std::array<std::string, 6> largerFace = paths;
    largerFace[5] = writeScratchFile("larger.tga", tgaFile(4, 4, 24, patternPixels(4, 4, 3)));
    testing::internal::CaptureStderr();
    loadCubeMap(largerFace);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(levelSize(GL_TEXTURE_CUBE_MAP_NEGATIVE_Z, 0).width, 4);
    glBindTexture(GL_TEXTURE_CUBE_MAP, 0);
}

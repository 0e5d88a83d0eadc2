// TextureGlTest.cpp -- 2D textures and the cube map on a real context: contents read back from GL, sampling
// parameters, the load-failed message, and the absence of GL errors on every path.
#include <gtest/gtest.h>

#include <epoxy/gl.h>

#include "AssetFiles.h"
#include "assets/Texture.h"
#include "support/Files.h"
#include "support/GlContext.h"

using assettest::Bytes;
using assettest::patternPixels;
using assettest::tgaFile;
using omxtest::scratchFile;

namespace {

GLint levelParameter(GLenum target, GLint level, GLenum name) {
    GLint value = -1;
    glGetTexLevelParameteriv(target, level, name, &value);
    return value;
}

GLint parameter(GLenum target, GLenum name) {
    GLint value = 0;
    glGetTexParameteriv(target, name, &value);
    return value;
}

GLint binding(GLenum name) {
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
std::string loadAndBind(const std::string& path, bool clamp = false) {
    GLuint name = 0;
    const std::string errors = omxtest::capturedStderr([&] { name = loadTexture(path, clamp); });
    EXPECT_NE(name, 0u);
    EXPECT_EQ(binding(GL_TEXTURE_BINDING_2D), 0) << "the loader leaves nothing bound";
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

TEST_F(TextureGl, FileRowsUploadUnshiftedAsRowZeroFirstWithAFullMipmapChain) {
    struct Case {
        uint16_t width, height;
        uint8_t depth;
        GLenum format;
        GLint internalFormat, sizedFormat;
    };
    const Case cases[] = {{2, 2, 32, GL_BGRA, GL_RGBA, GL_RGBA8}, {2, 2, 24, GL_BGR, GL_RGB, GL_RGB8},
                          {1, 3, 24, GL_BGR, GL_RGB, GL_RGB8},   {3, 3, 24, GL_BGR, GL_RGB, GL_RGB8},
                          {5, 3, 24, GL_BGR, GL_RGB, GL_RGB8},   {7, 3, 24, GL_BGR, GL_RGB, GL_RGB8},
                          {3, 3, 8, GL_RED, GL_RED, GL_R8},      {4, 4, 8, GL_RED, GL_RED, GL_R8}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << " x " << c.height << " depth " << int{c.depth});
        const Bytes pixels = patternPixels(c.width, c.height, c.depth / 8);
        EXPECT_EQ(loadAndBind(scratchFile("rows.tga", tgaFile(c.width, c.height, c.depth, pixels))), "");
        EXPECT_EQ(readLevelZero(GL_TEXTURE_2D, c.format, pixels.size()), pixels);
        const GLint internalFormat = levelParameter(GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT);
        EXPECT_TRUE(internalFormat == c.internalFormat || internalFormat == c.sizedFormat) << internalFormat;
        // The chain goes down to 1 x 1.
        int top = 0;
        while ((std::max(c.width, c.height) >> (top + 1)) > 0) ++top;
        EXPECT_EQ(levelParameter(GL_TEXTURE_2D, top, GL_TEXTURE_WIDTH), 1);
        EXPECT_EQ(levelParameter(GL_TEXTURE_2D, top, GL_TEXTURE_HEIGHT), 1);
        if (c.depth == 8) {
            // Grey: one stored channel that every colour channel samples.
            EXPECT_EQ(levelParameter(GL_TEXTURE_2D, 0, GL_TEXTURE_RED_SIZE), 8);
            EXPECT_EQ(levelParameter(GL_TEXTURE_2D, 0, GL_TEXTURE_GREEN_SIZE), 0);
            EXPECT_EQ(parameter(GL_TEXTURE_2D, GL_TEXTURE_SWIZZLE_R), GL_RED);
            EXPECT_EQ(parameter(GL_TEXTURE_2D, GL_TEXTURE_SWIZZLE_G), GL_RED);
            EXPECT_EQ(parameter(GL_TEXTURE_2D, GL_TEXTURE_SWIZZLE_B), GL_RED);
            EXPECT_EQ(parameter(GL_TEXTURE_2D, GL_TEXTURE_SWIZZLE_A), GL_ALPHA);
        }
    }
}

TEST_F(TextureGl, RefusedFilesAreReportedAndKeepTheirHeaderSizeWhenTheDriverCanHoldIt) {
    struct Case {
        std::string path;
        GLint width, height;
    };
    Bytes oneShort = patternPixels(2, 2, 4);
    oneShort.pop_back();
    std::vector<Case> cases = {
        {scratchFile("sixteen.tga", tgaFile(4, 3, 16, Bytes(24, 9))), 4, 3},
        {omxtest::scratchFolder() + "/missing.tga", 0, 0},
        {scratchFile("short.tga", tgaFile(2, 2, 32, oneShort)), 2, 2},
    };
    if (binding(GL_MAX_TEXTURE_SIZE) < 65535)
        cases.push_back({scratchFile("wide.tga", tgaFile(65535, 1, 24, {1, 2, 3})), 0, 0});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(loadAndBind(c.path), "image load failed: " + c.path + "\n");
        EXPECT_EQ(levelParameter(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH), c.width);
        EXPECT_EQ(levelParameter(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT), c.height);
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    }
}

TEST_F(TextureGl, SamplingParametersOfRepeatedAndClampedTextures) {
    const std::string path = assettest::patternTga("params.tga", 2, 2, 32);
    for (const bool clamp : {false, true}) {
        SCOPED_TRACE(clamp ? "clamped" : "repeated");
        EXPECT_EQ(loadAndBind(path, clamp), "");
        EXPECT_EQ(parameter(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER), GL_LINEAR);
        EXPECT_EQ(parameter(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER), GL_LINEAR_MIPMAP_LINEAR);
        const GLint wrap = clamp ? GL_CLAMP_TO_BORDER : GL_REPEAT;
        EXPECT_EQ(parameter(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S), wrap);
        EXPECT_EQ(parameter(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T), wrap);
        if (clamp) {
            GLfloat border[4] = {-1, -1, -1, -1};
            glGetTexParameterfv(GL_TEXTURE_2D, GL_TEXTURE_BORDER_COLOR, border);
            EXPECT_EQ(std::vector<GLfloat>(border, border + 4), (std::vector<GLfloat>{0, 0, 0, 1}));
        }
        if (epoxy_has_gl_extension("GL_EXT_texture_filter_anisotropic")) {
            GLfloat anisotropy = 0;
            glGetTexParameterfv(GL_TEXTURE_2D, GL_TEXTURE_MAX_ANISOTROPY_EXT, &anisotropy);
            EXPECT_EQ(anisotropy, largestUsableAnisotropy());
        }
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
    EXPECT_EQ(binding(GL_ACTIVE_TEXTURE), GL_TEXTURE0);
    EXPECT_EQ(static_cast<GLuint>(binding(GL_TEXTURE_BINDING_CUBE_MAP)), name);
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
    largerFace[5] = assettest::patternTga("larger.tga", 4, 4, 24);
    EXPECT_EQ(omxtest::capturedStderr([&] { loadCubeMap(largerFace); }), "");
    EXPECT_EQ(levelParameter(GL_TEXTURE_CUBE_MAP_NEGATIVE_Z, 0, GL_TEXTURE_WIDTH), 4);
}

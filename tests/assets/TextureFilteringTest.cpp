// TextureFilteringTest.cpp -- the run-time filter switches on real textures of real models, read back from GL.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include <epoxy/gl.h>

#include "AssetFiles.h"
#include "assets/Model.h"
#include "assets/Texture.h"
#include "support/GlContext.h"

namespace {

GLint parameter(GLenum target, GLuint texture, GLenum name) {
    glBindTexture(target, texture);
    GLint value = 0;
    glGetTexParameteriv(target, name, &value);
    glBindTexture(target, 0);
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

GLfloat driverLargestAnisotropy() {
    GLfloat value = 0;
    glGetFloatv(GL_MAX_TEXTURE_MAX_ANISOTROPY_EXT, &value);
    return value;
}

std::string rendererName() {
    const GLubyte* name = glGetString(GL_RENDERER);
    return name ? reinterpret_cast<const char*>(name) : "";
}

// Two models with two counted textures each, a model counting only the first of two, and a sky box whose
// cube map is held but not counted.
class TextureFiltering : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(omxtest::ensureGlContext()) << omxtest::glContextFailure();
        const std::string image = assettest::writeScratchFile(
            "filter.tga", assettest::tgaFile(4, 4, 32, assettest::patternPixels(4, 4, 4)));
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
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    }

    std::vector<GLuint> countedTextures() const {
        return {first.textures[0], first.textures[1], second.textures[0], second.textures[1],
                partlyCounted.textures[0]};
    }

    Model first, second, partlyCounted, skyBox;
};

}  // namespace

TEST_F(TextureFiltering, EachCombinationSetsMinificationAndAnisotropyOnly) {
    struct Case {
        bool mipmapping;
        bool trilinear;
        GLint minification;
    };
    const Case cases[] = {{false, false, GL_NEAREST},
                          {true, false, GL_NEAREST_MIPMAP_NEAREST},
                          {false, true, GL_LINEAR},
                          {true, true, GL_LINEAR_MIPMAP_LINEAR}};
    for (const Case& c : cases) {
        applyTextureFiltering(c.mipmapping, c.trilinear);
        for (const GLuint texture : countedTextures()) {
            SCOPED_TRACE(testing::Message() << "mipmapping " << c.mipmapping << " trilinear " << c.trilinear
                                            << " texture " << texture);
            EXPECT_EQ(parameter(GL_TEXTURE_2D, texture, GL_TEXTURE_MIN_FILTER), c.minification);
            EXPECT_EQ(parameter(GL_TEXTURE_2D, texture, GL_TEXTURE_MAG_FILTER), GL_LINEAR);
            if (driverHasAnisotropy()) {
                EXPECT_EQ(anisotropy(texture), c.trilinear ? largestUsableAnisotropy() : 1.0f);
            }
        }
        // Wrap modes stay as created.
        EXPECT_EQ(parameter(GL_TEXTURE_2D, first.textures[0], GL_TEXTURE_WRAP_S), GL_REPEAT);
        EXPECT_EQ(parameter(GL_TEXTURE_2D, first.textures[1], GL_TEXTURE_WRAP_S), GL_CLAMP_TO_BORDER);
        GLint bound = -1;
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
        EXPECT_EQ(bound, 0);
    }
}

TEST_F(TextureFiltering, UncountedTexturesAndTheCubeMapAreNeverTouched) {
    for (const bool mipmapping : {false, true})
        for (const bool trilinear : {false, true}) {
            applyTextureFiltering(mipmapping, trilinear);
            EXPECT_EQ(parameter(GL_TEXTURE_2D, partlyCounted.textures[1], GL_TEXTURE_MIN_FILTER),
                      GL_LINEAR_MIPMAP_LINEAR);
            const GLuint cube = skyBox.textures[0];
            EXPECT_EQ(parameter(GL_TEXTURE_CUBE_MAP, cube, GL_TEXTURE_MIN_FILTER), GL_LINEAR_MIPMAP_LINEAR);
            EXPECT_EQ(parameter(GL_TEXTURE_CUBE_MAP, cube, GL_TEXTURE_MAG_FILTER), GL_NEAREST);
            EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
        }
}

TEST_F(TextureFiltering, CountLargerThanTheTextureListWalksOnlyWhatExists) {
    partlyCounted.textureCount = 5;
    applyTextureFiltering(false, false);
    EXPECT_EQ(parameter(GL_TEXTURE_2D, partlyCounted.textures[1], GL_TEXTURE_MIN_FILTER), GL_NEAREST);
}

TEST(Anisotropy, SoftwareRasterizersGetNoneAndEveryOtherDriverItsLargest) {
    EXPECT_EQ(usableAnisotropy("llvmpipe (LLVM 15.0.6, 256 bits)", 16.0f), 1.0f);
    EXPECT_EQ(usableAnisotropy("softpipe", 16.0f), 1.0f);
    EXPECT_EQ(usableAnisotropy("Mesa DRI Software Rasterizer", 8.0f), 1.0f);
    EXPECT_EQ(usableAnisotropy("AMD Radeon RX 6600 (navi23, LLVM 15.0.6, DRM 3.49, 6.1.0-13-amd64)", 16.0f), 16.0f);
    EXPECT_EQ(usableAnisotropy("Mesa Intel(R) UHD Graphics 620 (KBL GT2)", 16.0f), 16.0f);
    EXPECT_EQ(usableAnisotropy("NVIDIA GeForce GTX 1060/PCIe/SSE2", 4.0f), 4.0f);
    // A driver that reports nothing usable still gets the plain filter.
    EXPECT_EQ(usableAnisotropy("", 0.0f), 1.0f);
}

TEST(Anisotropy, TheContextsRendererDecidesWhatNewTexturesGet) {
    ASSERT_TRUE(omxtest::ensureGlContext()) << omxtest::glContextFailure();
    if (!driverHasAnisotropy()) GTEST_SKIP() << "no anisotropic filter on this driver";
    const GLfloat expected = usableAnisotropy(rendererName(), driverLargestAnisotropy());
    EXPECT_EQ(largestUsableAnisotropy(), expected);
    const std::string image = assettest::writeScratchFile(
        "anisotropy.tga", assettest::tgaFile(4, 4, 24, assettest::patternPixels(4, 4, 3)));
    const GLuint texture = loadTexture(image, false);
    EXPECT_EQ(anisotropy(texture), expected);
    // The test machines render with llvmpipe, which advertises 16.
    if (rendererName().find("llvmpipe") != std::string::npos) {
        EXPECT_GT(driverLargestAnisotropy(), 1.0f);
        EXPECT_EQ(anisotropy(texture), 1.0f);
    }
    glDeleteTextures(1, &texture);
}

// TextureFilteringTest.cpp -- the run-time filter switches on real textures of real models, read back from GL,
// and the anisotropy each driver gets.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

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

// Two models with two counted textures each, a model counting only the first of two, and a sky box whose
// cube map is held but not counted.
class TextureFiltering : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(omxtest::ensureGlContext()) << omxtest::glContextFailure();
        const std::string image = assettest::patternTga("filter.tga", 4, 4, 32);
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

    Model first, second, partlyCounted, skyBox;
};

}  // namespace

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
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "mipmapping " << c.mipmapping << " trilinear " << c.trilinear);
        applyTextureFiltering(c.mipmapping, c.trilinear);
        for (const GLuint texture : counted) {
            SCOPED_TRACE(testing::Message() << "texture " << texture);
            EXPECT_EQ(parameter(GL_TEXTURE_2D, texture, GL_TEXTURE_MIN_FILTER), c.minification);
            EXPECT_EQ(parameter(GL_TEXTURE_2D, texture, GL_TEXTURE_MAG_FILTER), GL_LINEAR);
            if (driverHasAnisotropy()) {
                EXPECT_EQ(anisotropy(texture), c.trilinear ? largestUsableAnisotropy() : 1.0f);
            }
        }
        // Wrap modes stay as created, and nothing is left bound.
        EXPECT_EQ(parameter(GL_TEXTURE_2D, first.textures[0], GL_TEXTURE_WRAP_S), GL_REPEAT);
        EXPECT_EQ(parameter(GL_TEXTURE_2D, first.textures[1], GL_TEXTURE_WRAP_S), GL_CLAMP_TO_BORDER);
        GLint bound = -1;
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
        EXPECT_EQ(bound, 0);
        // The uncounted texture and the sky box keep what they were created with.
        EXPECT_EQ(parameter(GL_TEXTURE_2D, partlyCounted.textures[1], GL_TEXTURE_MIN_FILTER), GL_LINEAR_MIPMAP_LINEAR);
        EXPECT_EQ(parameter(GL_TEXTURE_CUBE_MAP, skyBox.textures[0], GL_TEXTURE_MIN_FILTER), GL_LINEAR_MIPMAP_LINEAR);
        EXPECT_EQ(parameter(GL_TEXTURE_CUBE_MAP, skyBox.textures[0], GL_TEXTURE_MAG_FILTER), GL_NEAREST);
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    }
    // A count larger than the texture list walks only what exists.
    partlyCounted.textureCount = 5;
    applyTextureFiltering(false, false);
    EXPECT_EQ(parameter(GL_TEXTURE_2D, partlyCounted.textures[1], GL_TEXTURE_MIN_FILTER), GL_NEAREST);
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
    const GLuint texture = loadTexture(assettest::patternTga("anisotropy.tga", 4, 4, 24), false);
    EXPECT_EQ(anisotropy(texture), expected);
    if (renderer.find("llvmpipe") != std::string::npos) {
        EXPECT_GT(driverLargest, 1.0f);
        EXPECT_EQ(anisotropy(texture), 1.0f);
    }
    glDeleteTextures(1, &texture);
}

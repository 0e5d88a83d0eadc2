// IdTargetTest.cpp -- the off-screen id target: resize, replacement of the old target, failure, read-back bounds.
#include <gtest/gtest.h>

#include <epoxy/gl.h>

#include "RenderFixture.h"
#include "support/Files.h"
#include "support/GlContext.h"
#include "render/Renderer.h"

namespace {

class IdTargetTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(rendertest::buildRealWorld(scene)) << "no world drawn: " << omxtest::glContextFailure();
        rendertest::overlookHome(scene);
        person = &omxtest::addPerson(game(), *game().settlements[0], ObjectType::GoodPerson, PersonState::Wandering,
                                        scene.centre + glm::vec3(0.0f, 0.0f, 100.0f));
    }
    glm::ivec2 personPixel() { return rendertest::centrePixel(game(), *person, "goodbobob2.obj"); }
    Game& game() { return *scene.game; }
    const IdTarget& target() { return scene.renderer->idTarget(); }
    std::string resizeOutput(int width, int height) {
        return omxtest::capturedStdout([&] { game().resize(width, height); });
    }
    static std::array<GLint, 4> viewport() {
        std::array<GLint, 4> v{};
        glGetIntegerv(GL_VIEWPORT, v.data());
        return v;
    }
    rendertest::Scene scene;
    SceneObject* person = nullptr;
};

TEST_F(IdTargetTest, ResizeBuildsANewTargetAndFreesTheOldOne) {
    const uint32_t oldFramebuffer = target().framebuffer, oldTexture = target().texture;
    const uint32_t oldDepth = target().depthBuffer;
    ASSERT_NE(oldFramebuffer, 0u);
    EXPECT_EQ(resizeOutput(640, 480), "fbo recreate\n");
    EXPECT_TRUE(target().complete);
    EXPECT_NE(target().framebuffer, oldFramebuffer);
    EXPECT_NE(target().texture, oldTexture);
    EXPECT_EQ(glIsFramebuffer(oldFramebuffer), GL_FALSE);
    EXPECT_EQ(glIsTexture(oldTexture), GL_FALSE);
    EXPECT_EQ(glIsRenderbuffer(oldDepth), GL_FALSE);
    EXPECT_EQ(glIsRenderbuffer(target().depthBuffer), GL_TRUE);

    EXPECT_EQ(game().windowWidth, 640);
    EXPECT_EQ(game().windowHeight, 480);
    EXPECT_EQ(viewport(), (std::array<GLint, 4>{0, 0, 640, 480}));
    EXPECT_NEAR(game().projectionMatrix[1][1] / game().projectionMatrix[0][0], 640.0f / 480.0f, 1e-5f);

    // The texture is one signed integer per pixel, of the window's size.
    GLint width = 0, height = 0, format = 0;
    glBindTexture(GL_TEXTURE_2D, target().texture);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT, &format);
    EXPECT_EQ(width, 640);
    EXPECT_EQ(height, 480);
    EXPECT_EQ(format, GL_R32I);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(IdTargetTest, MinimisedWindowChangesNothing) {
    const uint32_t framebuffer = target().framebuffer, texture = target().texture;
    const glm::mat4 projection = game().projectionMatrix;
    EXPECT_EQ(resizeOutput(0, 0), "");
    EXPECT_EQ(resizeOutput(0, 300), "");
    EXPECT_EQ(resizeOutput(300, 0), "");
    EXPECT_EQ(target().framebuffer, framebuffer);
    EXPECT_EQ(target().texture, texture);
    EXPECT_EQ(game().windowWidth, 1200);
    EXPECT_EQ(game().windowHeight, 800);
    EXPECT_EQ(projection, game().projectionMatrix);
    EXPECT_EQ(viewport(), (std::array<GLint, 4>{0, 0, 1200, 800}));
    EXPECT_EQ(resizeOutput(1200, 800), "fbo recreate\n");
    EXPECT_NE(target().framebuffer, framebuffer);
}

TEST_F(IdTargetTest, IncompleteTargetIsReportedUnboundAndDisablesPicking) {
    testing::internal::CaptureStdout();
    // A target of no pixels cannot be complete.
    scene.renderer->resizeView(0, 0);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "fbo init faiiiled!!! you are dooomed!!\n");
    EXPECT_FALSE(target().complete);
    GLint bound = -1;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &bound);
    EXPECT_EQ(bound, 0);
    glGetError();

    // With the target unusable the frame still reaches the window and every read gives 0.
    glViewport(0, 0, 1200, 800);
    game().render();
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &bound);
    EXPECT_EQ(bound, 0);
    EXPECT_EQ(game().readObjectId(personPixel().x, personPixel().y), 0);
    // Mostly lit grass: the colour pass drew into the window.
    const glm::vec3 seen = rendertest::mean(rendertest::windowImage(game()), 0, 0, 1200, 800);
    EXPECT_GT(seen.g, 0.3f);
    EXPECT_GT(seen.g, seen.b);
}

TEST_F(IdTargetTest, ReadsOutsideTheImageGiveNoObject) {
    game().render();
    ASSERT_EQ(game().readObjectId(personPixel().x, personPixel().y), person->id);
    for (const glm::ivec2& outside : {glm::ivec2(-1, 10), glm::ivec2(10, -1), glm::ivec2(1200, 10),
                                      glm::ivec2(10, 800), glm::ivec2(100000, 100000)})
        EXPECT_EQ(game().readObjectId(outside.x, outside.y), 0) << outside.x << ", " << outside.y;
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

}  // namespace

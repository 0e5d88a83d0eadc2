// ShaderContractTest.cpp -- the three shader pairs on a 3.3 core context: they link, share the vertex location
// the id pass relies on, take the game's uniforms, and the id shader writes numbers unchanged.
#include <gtest/gtest.h>

#include <epoxy/gl.h>

#include "RenderFixture.h"
#include "render/UniformCache.h"
#include "support/GlContext.h"

namespace {

class ShaderContract : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(omxtest::ensureGlContext()) << omxtest::glContextFailure();
        programs = rendertest::loadPrograms();
        ASSERT_TRUE(programs.valid()) << "a shader pair did not compile or link";
    }
    rendertest::Programs programs;
};

TEST_F(ShaderContract, ThePassesShareTheVertexLocationAndTakeTheGamesUniforms) {
    const GLuint phong = programs.phong->program, id = programs.id->program, sky = programs.skybox->program;
    const GLint vertex = glGetAttribLocation(phong, "vVertex");
    EXPECT_GE(vertex, 0);
    EXPECT_EQ(glGetAttribLocation(id, "vVertex"), vertex);
    EXPECT_GE(glGetAttribLocation(sky, "vVertex"), 0);
    EXPECT_EQ(glGetFragDataLocation(phong, "vFragColor"), 0);
    EXPECT_EQ(glGetFragDataLocation(id, "vFragColor"), 0);
    for (int u = 0; u < static_cast<int>(Uniform::Count); ++u) {
        const Uniform uniform = static_cast<Uniform>(u);
        const bool scaleOnly = uniform == Uniform::Scene || uniform == Uniform::Sharpness;
        if (uniform == Uniform::ObjectId || scaleOnly) continue;
        EXPECT_GE(glGetUniformLocation(phong, uniformName(uniform)), 0) << uniformName(uniform);
    }
    for (const char* name : {"mvpMatrix", "objectId"}) EXPECT_GE(glGetUniformLocation(id, name), 0) << name;
    for (const char* name : {"mvpMatrix", "badFactor"}) EXPECT_GE(glGetUniformLocation(sky, name), 0) << name;
}

TEST_F(ShaderContract, IdShaderWritesTheNumberUnchanged) {
    GLuint fbo = 0, texture = 0;
    glGenFramebuffers(1, &fbo);
    glBindFramebuffer(GL_FRAMEBUFFER, fbo);
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_R32I, 8, 8, 0, GL_RED_INTEGER, GL_INT, nullptr);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, texture, 0);
    ASSERT_EQ(glCheckFramebufferStatus(GL_FRAMEBUFFER), static_cast<GLenum>(GL_FRAMEBUFFER_COMPLETE));
    glViewport(0, 0, 8, 8);
    glDisable(GL_DEPTH_TEST);

    // One triangle covering the whole target, positions (x, y, z, 1) in clip space.
    const float triangle[12] = {-1, -1, 0, 1, 3, -1, 0, 1, -1, 3, 0, 1};
    GLuint vao = 0, buffer = 0;
    glGenVertexArrays(1, &vao);
    glBindVertexArray(vao);
    glGenBuffers(1, &buffer);
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    glBufferData(GL_ARRAY_BUFFER, sizeof(triangle), triangle, GL_STATIC_DRAW);
    const GLint vertex = glGetAttribLocation(programs.id->program, "vVertex");
    glEnableVertexAttribArray(static_cast<GLuint>(vertex));
    glVertexAttribPointer(static_cast<GLuint>(vertex), 4, GL_FLOAT, GL_FALSE, 0, nullptr);

    glUseProgram(programs.id->program);
    const float identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    glUniformMatrix4fv(glGetUniformLocation(programs.id->program, "mvpMatrix"), 1, GL_FALSE, identity);
    for (int number : {1, 144, 16777217, 2147483000, -7}) {
        glUniform1i(glGetUniformLocation(programs.id->program, "objectId"), number);
        glDrawArrays(GL_TRIANGLES, 0, 3);
        GLint read = 0;
        glReadPixels(3, 5, 1, 1, GL_RED_INTEGER, GL_INT, &read);
        EXPECT_EQ(read, number);
    }
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

    glUseProgram(0);
    glBindVertexArray(0);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glDeleteBuffers(1, &buffer);
    glDeleteVertexArrays(1, &vao);
    glDeleteTextures(1, &texture);
    glDeleteFramebuffers(1, &fbo);
}

}  // namespace

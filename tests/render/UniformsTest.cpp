// UniformsTest.cpp -- the values an object upload leaves in the programs, and the vertex ranges drawMeshes draws.
#include <gtest/gtest.h>

#include <numeric>

#include <epoxy/gl.h>

#include "RenderFixture.h"
#include "assets/Model.h"
#include "game/Settlement.h"
#include "support/GlContext.h"

namespace {

class Uniforms : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(rendertest::buildRealWorld(scene)) << "no world drawn: " << omxtest::glContextFailure();
        rendertest::overlookHome(scene);
        game().render();  // the renderer takes the camera's view
    }
    Game& game() { return *scene.game; }
    Renderer& renderer() { return *scene.renderer; }
    const WorldModels& models() { return scene.renderer->models(); }
    Settlement& home() { return *scene.game->settlements[0]; }
    GLuint phong() const { return scene.renderer->programs().phong->program; }

    float readFloat(GLuint program, const char* name) {
        float value = -999.0f;
        glGetUniformfv(program, glGetUniformLocation(program, name), &value);
        return value;
    }
    int readInt(GLuint program, const char* name) {
        int value = -999;
        glGetUniformiv(program, glGetUniformLocation(program, name), &value);
        return value;
    }
    glm::vec3 readVec3(GLuint program, const char* name) {
        glm::vec3 value(-999.0f);
        glGetUniformfv(program, glGetUniformLocation(program, name), &value.x);
        return value;
    }
    // Uploads one object with the lit program current.
    void upload(const SceneObject& object, const Settlement* settlement, const Model& model) {
        renderer().useProgram(renderer().programs().phong);
        renderer().setObjectUniforms(object, settlement, model);
    }
    // The same in a texture mode of the draw's choosing.
    void upload(const SceneObject& object, const Settlement* settlement, const Model& model, TextureMode mode) {
        renderer().useProgram(renderer().programs().phong);
        renderer().setObjectUniforms(object, settlement, model, mode);
    }
    rendertest::Scene scene;
};

TEST_F(Uniforms, ColourPassSendsMaterialMoodAndLight) {
    Settlement& s = home();
    game().badFactor = 0.25f;
    upload(*s.tree, &s, models().tree);
    EXPECT_FLOAT_EQ(readFloat(phong(), "materialFactor"), 0.3f);
    EXPECT_EQ(readInt(phong(), "useTexture"), 2);
    EXPECT_EQ(readInt(phong(), "useLight"), 1);
    EXPECT_FLOAT_EQ(readFloat(phong(), "badFactor"), 0.25f);
    EXPECT_FLOAT_EQ(readFloat(phong(), "ambientFactor"), 0.1f);
    s.tree->highlighted = true;  // what the cursor is on lights up
    upload(*s.tree, &s, models().tree);
    EXPECT_FLOAT_EQ(readFloat(phong(), "ambientFactor"), 0.8f);
    // The light marker is plain yellow and unlit.
    upload(*game().light, nullptr, models().lightMarker);
    float colour[4] = {};
    glGetUniformfv(phong(), glGetUniformLocation(phong(), "diffuseColor"), colour);
    EXPECT_EQ(glm::vec4(colour[0], colour[1], colour[2], colour[3]), glm::vec4(1.0f, 1.0f, 0.0f, 1.0f));
    EXPECT_EQ(readInt(phong(), "useLight"), 0);
    EXPECT_EQ(readInt(phong(), "useTexture"), 0);

    // The light grows over its first fifty units of height.
    for (const auto& [height, strength] : {std::pair{25.0f, 0.5f}, {2600.0f, 1.0f}, {-5.0f, 0.0f}, {0.0f, 0.0f}}) {
        game().light->position = glm::vec3(0.0f, height, 0.0f);
        upload(*game().groundTiles[0], nullptr, models().ground);
        EXPECT_FLOAT_EQ(readFloat(phong(), "lightFactor"), strength) << "light at " << height;
    }
    // At night each settlement is lit from above its own centre at full strength; the rest stays dim.
    game().nightMode = true;
    game().light->position = glm::vec3(0.0f, 5.0f, 0.0f);
    upload(*game().groundTiles[55], nullptr, models().ground);
    EXPECT_FLOAT_EQ(readFloat(phong(), "lightFactor"), 0.1f);
    Settlement& far = *game().settlements[2];
    upload(*far.tree, &far, models().tree);
    EXPECT_FLOAT_EQ(readFloat(phong(), "lightFactor"), 1.0f);
    const glm::vec3 above = glm::vec3(game().camera->viewMatrix * glm::vec4(far.position + glm::vec3(0, 5, 0), 1.0f));
    EXPECT_NEAR(glm::length(readVec3(phong(), "vLightPosition") - above), 0.0f, 1e-2f);
}

TEST_F(Uniforms, WithoutTransparencyCutOutModesBecomePlainTexture) {
    const Model& model = models().grenade;
    using M = TextureMode;
    const std::pair<M, M> withoutBlending[] = {
        {M::Leaves, M::Texture}, {M::Lightning, M::Texture}, {M::GlowingGrenade, M::GlowingGrenade},
        {M::Colour, M::Colour},  {M::Texture, M::Texture}};
    renderer().settings.transparency = false;
    for (const auto& [mode, sent] : withoutBlending) {
        upload(*home().grenade, &home(), model, mode);
        EXPECT_EQ(readInt(phong(), "useTexture"), static_cast<int>(sent)) << "mode " << mode;
    }
    renderer().settings.transparency = true;
    for (TextureMode mode : {TextureMode::Leaves, TextureMode::Lightning}) {
        upload(*home().grenade, &home(), model, mode);
        EXPECT_EQ(readInt(phong(), "useTexture"), static_cast<int>(mode));
    }
}

// Captures the vertex indices drawn by drawMeshes through transform feedback.
class MeshRanges : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(omxtest::ensureGlContext()) << omxtest::glContextFailure();
        const char* source =
            "#version 330 core\n"
            "layout(location = 0) in float vertexIndex;\n"
            "out float capturedIndex;\n"
            "void main() { capturedIndex = vertexIndex; gl_Position = vec4(0.0); }\n";
        const GLuint shader = ShaderProgram::compileShader(GL_VERTEX_SHADER, source);
        program = glCreateProgram();
        glAttachShader(program, shader);
        const char* varying = "capturedIndex";
        glTransformFeedbackVaryings(program, 1, &varying, GL_INTERLEAVED_ATTRIBS);
        glLinkProgram(program);
        GLint linked = 0;
        glGetProgramiv(program, GL_LINK_STATUS, &linked);
        ASSERT_EQ(linked, GL_TRUE);

        std::vector<float> indices(48);
        std::iota(indices.begin(), indices.end(), 0.0f);
        glGenVertexArrays(1, &vao);
        glBindVertexArray(vao);
        glGenBuffers(1, &vertices);
        glBindBuffer(GL_ARRAY_BUFFER, vertices);
        glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(indices.size() * sizeof(float)), indices.data(),
                     GL_STATIC_DRAW);
        glEnableVertexAttribArray(0);
        glVertexAttribPointer(0, 1, GL_FLOAT, GL_FALSE, 0, nullptr);
        glGenBuffers(1, &captured);
        glBindBuffer(GL_TRANSFORM_FEEDBACK_BUFFER, captured);
        glBufferData(GL_TRANSFORM_FEEDBACK_BUFFER, 64 * sizeof(float), nullptr, GL_DYNAMIC_READ);
        model.meshVertexCounts = {30, 12, 6};
        model.meshCount = 3;
    }
    void TearDown() override {
        glBindVertexArray(0);
        glDeleteVertexArrays(1, &vao);
        glDeleteBuffers(1, &vertices);
        glDeleteBuffers(1, &captured);
        glDeleteProgram(program);
        glUseProgram(0);
    }
    // The vertex indices drawn, in order.
    std::vector<int> drawn(MeshSelection selection, int mesh) {
        glUseProgram(program);
        glBindVertexArray(vao);
        glBindBufferBase(GL_TRANSFORM_FEEDBACK_BUFFER, 0, captured);
        GLuint query = 0;
        glGenQueries(1, &query);
        glEnable(GL_RASTERIZER_DISCARD);
        glBeginQuery(GL_TRANSFORM_FEEDBACK_PRIMITIVES_WRITTEN, query);
        glBeginTransformFeedback(GL_TRIANGLES);
        drawMeshes(model, selection, mesh);
        glEndTransformFeedback();
        glEndQuery(GL_TRANSFORM_FEEDBACK_PRIMITIVES_WRITTEN);
        glDisable(GL_RASTERIZER_DISCARD);
        GLuint triangles = 0;
        glGetQueryObjectuiv(query, GL_QUERY_RESULT, &triangles);
        glDeleteQueries(1, &query);
        std::vector<float> values(triangles * 3);
        if (!values.empty())
            glGetBufferSubData(GL_TRANSFORM_FEEDBACK_BUFFER, 0, static_cast<GLsizeiptr>(values.size() * sizeof(float)),
                               values.data());
        return std::vector<int>(values.begin(), values.end());
    }
    // The indices of the given (first, count) ranges, in order.
    static std::vector<int> ranges(std::initializer_list<std::pair<int, int>> list) {
        std::vector<int> r;
        for (const auto& [first, count] : list)
            for (int i = 0; i < count; ++i) r.push_back(first + i);
        return r;
    }
    GLuint program = 0, vao = 0, vertices = 0, captured = 0;
    Model model;
};

TEST_F(MeshRanges, EachModeDrawsItsMeshesAtTheirOffsets) {
    EXPECT_EQ(drawn(MeshSelection::All, -1), ranges({{0, 48}}));
    EXPECT_EQ(drawn(MeshSelection::Only, 1), ranges({{30, 12}}));
    EXPECT_EQ(drawn(MeshSelection::AllBut, 1), ranges({{0, 30}, {42, 6}}));
    EXPECT_EQ(drawn(MeshSelection::AllBut, 15), ranges({{0, 48}}));
    EXPECT_TRUE(drawn(MeshSelection::Only, 15).empty());
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    model.meshCount = 0;  // built-in shapes are drawn by their own calls
    EXPECT_TRUE(drawn(MeshSelection::All, -1).empty());
}

}  // namespace

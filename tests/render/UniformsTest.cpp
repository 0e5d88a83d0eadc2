// UniformsTest.cpp -- the values an object upload leaves in the programs, and the vertex ranges drawMeshes draws.
#include <gtest/gtest.h>

#include <cmath>
#include <numeric>
#include <string>
#include <vector>

#include <epoxy/gl.h>

#include "RenderFixture.h"
#include "assets/Model.h"
#include "game/Settlement.h"
#include "support/Files.h"
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

namespace {

// The true normal of the face with model-space normal n after the matrix m has stretched it: the cross product
// of two of the face's directions, each carried by m.
glm::vec3 stretchedFaceNormal(const glm::mat3& m, const glm::vec3& n) {
    const glm::vec3 along = glm::normalize(glm::cross(n, std::fabs(n.x) < 0.9f ? glm::vec3(1, 0, 0) : glm::vec3(0, 1, 0)));
    const glm::vec3 across = glm::cross(n, along);
    return glm::normalize(glm::cross(m * along, m * across));
}

float degreesBetween(const glm::vec3& a, const glm::vec3& b) {
    return glm::degrees(std::acos(std::fmin(1.0f, glm::dot(glm::normalize(a), glm::normalize(b)))));
}

// Faces at 45 degrees in the model, leaning every way, and two upright ones.
const glm::vec3 slopedFaces[] = {glm::vec3(0, 1, 1),  glm::vec3(1, 1, 0),  glm::vec3(-1, 1, 0),
                                 glm::vec3(0, -1, 1), glm::vec3(1, 0, 1),  glm::vec3(0, 0, 1)};

}  // namespace

// The world's edge pieces are stretched 552.61 x 245 x 552.61: a face at 45 degrees in the model stands about
// 24 degrees from the vertical in the world. Turned by the model-view's own upper 3 x 3 its normal would lean
// about 66 degrees.
TEST_F(Uniforms, NormalsOfAStretchedEdgePieceStandAtRightAnglesToItsFaces) {
    const SceneObject& border = *game().borders[1];
    ASSERT_EQ(border.scale, glm::vec3(552.61f, 245.0f, 552.61f));
    upload(border, nullptr, models().groundBorder);
    glm::mat3 sent(0.0f);
    glGetUniformfv(phong(), glGetUniformLocation(phong(), "normalMatrix"), &sent[0][0]);
    const glm::mat3 modelView(game().camera->viewMatrix * border.modelMatrix());
    for (const glm::vec3& face : slopedFaces) {
        const glm::vec3 n = glm::normalize(face);
        EXPECT_LT(degreesBetween(sent * n, stretchedFaceNormal(modelView, n)), 0.05f)
            << "face " << face.x << " " << face.y << " " << face.z;
    }
    // The 45 degree face leaning towards +z: about 24 degrees from the vertical in the world.
    const glm::vec3 up = stretchedFaceNormal(glm::mat3(border.modelMatrix()), glm::normalize(glm::vec3(0, 1, 1)));
    EXPECT_NEAR(degreesBetween(up, glm::vec3(0, 1, 0)), 23.9f, 0.1f);
}

// The lit programs' vertex stage, run with the values the renderer sends for an edge piece: the eye-space
// and world-space normals it hands on stand at right angles to the stretched faces.
TEST_F(Uniforms, TheLitVertexStageTurnsNormalsOfStretchedShapesRight) {
    const SceneObject& border = *game().borders[1];
    upload(border, nullptr, models().groundBorder);
    float sentNormal[9] = {}, sentModel[16] = {}, sentModelView[16] = {};
    glGetUniformfv(phong(), glGetUniformLocation(phong(), "normalMatrix"), sentNormal);
    glGetUniformfv(phong(), glGetUniformLocation(phong(), "mMatrix"), sentModel);
    glGetUniformfv(phong(), glGetUniformLocation(phong(), "mvMatrix"), sentModelView);

    // The vertex shader alone, its two normals captured by transform feedback.
    const std::string source = omxtest::readFile(std::string(OMNIVEX_BINARY_DIR) + "/shaders/blinnphongshader.vert");
    ASSERT_FALSE(source.empty());
    const GLuint shader = ShaderProgram::compileShader(GL_VERTEX_SHADER, source);
    ASSERT_NE(shader, 0u);
    const GLuint program = glCreateProgram();
    glAttachShader(program, shader);
    const char* varyings[] = {"eyeNormal", "worldNormal"};
    glTransformFeedbackVaryings(program, 2, varyings, GL_INTERLEAVED_ATTRIBS);
    glLinkProgram(program);
    GLint linked = 0;
    glGetProgramiv(program, GL_LINK_STATUS, &linked);
    ASSERT_EQ(linked, GL_TRUE);
    glUseProgram(program);
    glUniformMatrix3fv(glGetUniformLocation(program, "normalMatrix"), 1, GL_FALSE, sentNormal);
    glUniformMatrix4fv(glGetUniformLocation(program, "mMatrix"), 1, GL_FALSE, sentModel);
    glUniformMatrix4fv(glGetUniformLocation(program, "mvMatrix"), 1, GL_FALSE, sentModelView);

    constexpr int count = static_cast<int>(sizeof slopedFaces / sizeof slopedFaces[0]);
    std::vector<float> vertices;  // x, y, z, w, then the normal
    for (const glm::vec3& face : slopedFaces) {
        const glm::vec3 n = glm::normalize(face);
        vertices.insert(vertices.end(), {0.0f, 0.0f, 0.0f, 1.0f, n.x, n.y, n.z});
    }
    GLuint vao = 0, buffer = 0, captured = 0, query = 0;
    glGenVertexArrays(1, &vao);
    glBindVertexArray(vao);
    glGenBuffers(1, &buffer);
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(vertices.size() * sizeof(float)), vertices.data(), GL_STATIC_DRAW);
    glEnableVertexAttribArray(0);
    glVertexAttribPointer(0, 4, GL_FLOAT, GL_FALSE, 7 * sizeof(float), nullptr);
    glEnableVertexAttribArray(1);
    glVertexAttribPointer(1, 3, GL_FLOAT, GL_FALSE, 7 * sizeof(float), reinterpret_cast<const void*>(4 * sizeof(float)));
    glGenBuffers(1, &captured);
    glBindBuffer(GL_TRANSFORM_FEEDBACK_BUFFER, captured);
    glBufferData(GL_TRANSFORM_FEEDBACK_BUFFER, count * 6 * sizeof(float), nullptr, GL_DYNAMIC_READ);
    glBindBufferBase(GL_TRANSFORM_FEEDBACK_BUFFER, 0, captured);
    glGenQueries(1, &query);
    glEnable(GL_RASTERIZER_DISCARD);
    glBeginQuery(GL_TRANSFORM_FEEDBACK_PRIMITIVES_WRITTEN, query);
    glBeginTransformFeedback(GL_POINTS);
    glDrawArrays(GL_POINTS, 0, count);
    glEndTransformFeedback();
    glEndQuery(GL_TRANSFORM_FEEDBACK_PRIMITIVES_WRITTEN);
    glDisable(GL_RASTERIZER_DISCARD);
    GLuint written = 0;
    glGetQueryObjectuiv(query, GL_QUERY_RESULT, &written);
    std::vector<float> normals(static_cast<std::size_t>(count) * 6);
    glGetBufferSubData(GL_TRANSFORM_FEEDBACK_BUFFER, 0, static_cast<GLsizeiptr>(normals.size() * sizeof(float)), normals.data());
    EXPECT_EQ(written, static_cast<GLuint>(count));

    const glm::mat3 model(border.modelMatrix());
    const glm::mat3 modelView(game().camera->viewMatrix * border.modelMatrix());
    for (int i = 0; i < count; ++i) {
        SCOPED_TRACE(::testing::Message() << "face " << slopedFaces[i].x << " " << slopedFaces[i].y << " " << slopedFaces[i].z);
        const glm::vec3 n = glm::normalize(slopedFaces[i]);
        const float* out = &normals[static_cast<std::size_t>(i) * 6];
        EXPECT_LT(degreesBetween(glm::vec3(out[0], out[1], out[2]), stretchedFaceNormal(modelView, n)), 0.05f);
        EXPECT_LT(degreesBetween(glm::vec3(out[3], out[4], out[5]), stretchedFaceNormal(model, n)), 0.05f);
    }
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

    glUseProgram(0);
    glBindVertexArray(0);
    glDeleteQueries(1, &query);
    glDeleteBuffers(1, &buffer);
    glDeleteBuffers(1, &captured);
    glDeleteVertexArrays(1, &vao);
    glDeleteProgram(program);
    glDeleteShader(shader);
    renderer().useProgram(nullptr);
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

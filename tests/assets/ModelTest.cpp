// ModelTest.cpp -- OBJ import into GL buffers (counts, contents, the vertex array, the timing line, polygons,
// missing attributes, unreadable files), the model registry, uploads of program-held arrays, built-in meshes.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <regex>

#include <epoxy/gl.h>
#include <glm/glm.hpp>
#include <glm/gtc/type_ptr.hpp>

#include "assets/Model.h"
#include "assets/ShaderProgram.h"
#include "support/Files.h"
#include "support/GlContext.h"

using omxtest::scratchFile;
using ::testing::AnyOf;
using ::testing::Eq;

namespace {

std::vector<float> bufferFloats(GLuint buffer) {
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    GLint size = 0;
    glGetBufferParameteriv(GL_ARRAY_BUFFER, GL_BUFFER_SIZE, &size);
    std::vector<float> values(static_cast<size_t>(size) / sizeof(float));
    glGetBufferSubData(GL_ARRAY_BUFFER, 0, size, values.data());
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    return values;
}

std::vector<size_t> bufferSizes(const Model& model) {
    std::vector<size_t> sizes;
    for (const GLuint buffer : model.buffers) sizes.push_back(sizeof(float) * bufferFloats(buffer).size());
    return sizes;
}

std::vector<float> repeated(const std::vector<float>& values, size_t times) {
    std::vector<float> all;
    for (size_t i = 0; i < times; ++i) all.insert(all.end(), values.begin(), values.end());
    return all;
}

glm::vec4 corner(const float* positions, size_t vertex) { return glm::make_vec4(positions + 4 * vertex); }

// The area of the triangle of vertices first .. first + 2.
float triangleArea(const float* positions, size_t first) {
    const glm::vec3 a(corner(positions, first)), b(corner(positions, first + 1)), c(corner(positions, first + 2));
    return glm::length(glm::cross(b - a, c - a)) / 2;
}

// Two objects: a triangle, then two triangles; every corner uses texture coordinate (0.25, 0.75).
const char* const twoMeshObj =
    "v 0 0 0\nv 1 0 0\nv 0 1 0\nv 0 0 1\nvt 0.25 0.75\nvn 0 0 1\n"
    "o first\nf 1/1/1 2/1/1 3/1/1\no second\nf 1/1/1 2/1/1 4/1/1\nf 2/1/1 3/1/1 4/1/1\n";

struct Printed {
    std::string out, err;
};

// GL tests with the game's lit program, which has the three vertex inputs, leaving no OpenGL error behind.
class ModelLoad : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(omxtest::ensureGlContext()) << omxtest::glContextFailure();
        program = std::make_unique<ShaderProgram>(OMNIVEX_BINARY_DIR "/shaders/blinnphongshader");
        ASSERT_TRUE(program->valid);
        while (glGetError() != GL_NO_ERROR) {
        }
    }
    void TearDown() override { EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR)); }

    Printed load(Model& model, const std::string& path) {
        Printed printed;
        printed.out = omxtest::capturedStdout(
            [&] { printed.err = omxtest::capturedStderr([&] { loadModel(model, path, *program); }); });
        return printed;
    }
    // The vertex array's state of the named input, one value per parameter.
    std::vector<GLint> attribute(GLuint vao, const char* name, std::initializer_list<GLenum> parameters) {
        glBindVertexArray(vao);
        std::vector<GLint> values;
        for (const GLenum parameter : parameters)
            glGetVertexAttribiv(static_cast<GLuint>(glGetAttribLocation(program->program, name)), parameter,
                                &values.emplace_back(-1));
        glBindVertexArray(0);
        return values;
    }

    std::unique_ptr<ShaderProgram> program;
};

using UploadGeometry = ModelLoad;

}  // namespace

TEST_F(ModelLoad, TwoMeshesGiveCountsBuffersTheVertexArrayAndTheTimingLine) {
    const std::string path = scratchFile("two-meshes.obj", twoMeshObj);
    Model model;
    const Printed output = load(model, path);
    GLint bound[2] = {-1, -1};
    glGetIntegerv(GL_VERTEX_ARRAY_BINDING, &bound[0]);
    glGetIntegerv(GL_ARRAY_BUFFER_BINDING, &bound[1]);
    EXPECT_EQ(std::vector<GLint>(bound, bound + 2), (std::vector<GLint>{0, 0})) << "nothing is left bound";
    EXPECT_EQ(output.err, "");
    EXPECT_TRUE(std::regex_match(output.out, std::regex("Loading: " + path +
                                                        " needed time: [0-9.e+-]+ mesh count: 2 vertices count: 9\n")))
        << output.out;
    EXPECT_EQ(model.meshCount, 2);
    EXPECT_EQ(model.meshVertexCounts, (std::vector<uint32_t>{3, 6}));
    // Mesh and corner order follow the file; texture coordinates have v flipped for GL.
    EXPECT_EQ(bufferFloats(model.buffers[0]), (std::vector<float>{0, 0, 0, 1, 1, 0, 0, 1, 0, 1, 0, 1, 0, 0, 0, 1, 1, 0,
                                                                0, 1, 0, 0, 1, 1, 1, 0, 0, 1, 0, 1, 0, 1, 0, 0, 1, 1}));
    EXPECT_EQ(bufferFloats(model.buffers[1]), repeated({0, 0, 1}, 9));
    EXPECT_EQ(bufferFloats(model.buffers[2]), std::vector<float>(18, 0.25f));
    const std::pair<const char*, GLint> inputs[] = {{"vVertex", 4}, {"vNormal", 3}, {"vTexCoord", 2}};
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(attribute(model.vao, inputs[i].first,
                            {GL_VERTEX_ATTRIB_ARRAY_ENABLED, GL_VERTEX_ATTRIB_ARRAY_BUFFER_BINDING,
                             GL_VERTEX_ATTRIB_ARRAY_SIZE, GL_VERTEX_ATTRIB_ARRAY_TYPE}),
                  (std::vector<GLint>{1, static_cast<GLint>(model.buffers[i]), inputs[i].second, GL_FLOAT}))
            << inputs[i].first;
    }
}

TEST(MeshImport, AQuadBecomesTwoTrianglesOfItsOwnCornersAndMissingNormalsAndTextureCoordinatesAreZeros) {
    MeshArrays arrays;
    std::string reason;
    ASSERT_TRUE(importMeshArrays(scratchFile("quad.obj", "v 0 0 0\nv 2 0 0\nv 2 0 3\nv 0 0 3\nf 1 2 3 4\n"), arrays,
                                 reason))
        << reason;
    EXPECT_EQ(arrays.meshVertexCounts, (std::vector<uint32_t>{6}));
    EXPECT_EQ(arrays.normals, std::vector<float>(18, 0.0f));
    EXPECT_EQ(arrays.texCoords, std::vector<float>(12, 0.0f));
    // Both triangles together cover the 2 x 3 quad exactly once, each with three quad corners.
    for (size_t v = 0; v < 6; ++v) {
        const glm::vec4 p = corner(arrays.positions.data(), v);
        EXPECT_THAT(p.x, AnyOf(Eq(0.0f), Eq(2.0f))) << "vertex " << v;
        EXPECT_EQ(p.y, 0.0f) << "vertex " << v;
        EXPECT_THAT(p.z, AnyOf(Eq(0.0f), Eq(3.0f))) << "vertex " << v;
    }
    EXPECT_FLOAT_EQ(triangleArea(arrays.positions.data(), 0) + triangleArea(arrays.positions.data(), 3), 6.0f);
}

TEST_F(ModelLoad, AReadableFileWithoutMeshesLeavesTheModelAsItWasAndPrintsNothing) {
    Model model;
    load(model, scratchFile("earlier.obj", twoMeshObj));
    const GLuint vao = model.vao;
    const Printed output = load(model, scratchFile("nomeshes.obj", "# every group was removed\n"));
    EXPECT_EQ(output.out + output.err, "");
    EXPECT_EQ(model.meshVertexCounts, (std::vector<uint32_t>{3, 6}));
    EXPECT_EQ(std::make_tuple(model.meshCount, model.vao, bufferSizes(model)[0]), std::make_tuple(2, vao, size_t{144}));
}

TEST_F(ModelLoad, UnreadableFilesPrintOneLineWithPathAndReasonAndEmptyTheModel) {
    std::string garbage;
    for (int i = 0; i < 512; ++i) garbage += static_cast<char>((i * 7919) % 251);
    for (const std::string& path :
         {omxtest::scratchFolder() + "/no-such-model.obj", scratchFile("garbage.obj", garbage)}) {
        SCOPED_TRACE(path);
        Model model;
        load(model, scratchFile("earlier.obj", twoMeshObj));
        const GLuint vao = model.vao;
        const Printed output = load(model, path);
        EXPECT_EQ(output.out, "");
        EXPECT_TRUE(std::regex_match(output.err, std::regex("model load failed: " + path + ": [^\n]+\n")))
            << output.err;
        EXPECT_EQ(std::make_tuple(model.meshCount, model.meshVertexCounts.size(), model.vao),
                  std::make_tuple(0, size_t{0}, vao));
    }
}

TEST(ModelRegistry, ModelsJoinInCreationOrderAndLeaveOnDestruction) {
    std::vector<Model*> expected = allModels;
    {
        Model a, b;
        EXPECT_EQ(allModels.size(), expected.size() + 2);
        EXPECT_EQ(std::vector<Model*>(allModels.end() - 2, allModels.end()), (std::vector<Model*>{&a, &b}));
    }
    EXPECT_EQ(allModels, expected);
}

TEST_F(UploadGeometry, SizesFollowThePositionBytesAbsentArraysAreLeftAloneAndReuseRefills) {
    Model full;
    uploadGeometry(full, *program, groundQuadPositions.data(), computeFaceNormals().data(),
                   groundQuadTexCoords.data(), 96, GeometryUsage::Static, false);
    EXPECT_EQ(bufferSizes(full), (std::vector<size_t>{96, 72, 48}));
    EXPECT_EQ(bufferFloats(full.buffers[2]),
              std::vector<float>(groundQuadTexCoords.begin(), groundQuadTexCoords.end()));

    Model bare;
    uploadGeometry(bare, *program, pyramidPositions.data(), nullptr, nullptr, 192, GeometryUsage::Static, false);
    EXPECT_EQ(bufferSizes(bare), (std::vector<size_t>{192, 0, 0}));
    std::vector<GLint> enabled;
    for (const char* name : {"vVertex", "vNormal", "vTexCoord"})
        enabled.push_back(attribute(bare.vao, name, {GL_VERTEX_ATTRIB_ARRAY_ENABLED})[0]);
    EXPECT_EQ(enabled, (std::vector<GLint>{1, 0, 0}));

    // The strike refills its own objects every frame.
    Model strike;
    const std::vector<float> first(24, 1.0f), second = {0, 1, 2, 1, 3, 4, 5, 1};
    uploadGeometry(strike, *program, first.data(), nullptr, nullptr, 96, GeometryUsage::Dynamic, false);
    const auto objects = std::make_pair(strike.vao, strike.buffers);
    uploadGeometry(strike, *program, second.data(), nullptr, nullptr, 32, GeometryUsage::Dynamic, true);
    EXPECT_EQ(std::make_pair(strike.vao, strike.buffers), objects);
    EXPECT_EQ(bufferFloats(strike.buffers[0]), second);
}

TEST(BuiltInMeshes, TheGroundQuadCoversItsSquareFacingUpWithTheTextureSpanningItOnce) {
    // The normals come from the winding: both triangles are counter-clockwise seen from above.
    EXPECT_EQ(computeFaceNormals(), repeated({0, 1, 0}, 6));
    EXPECT_FLOAT_EQ(triangleArea(groundQuadPositions.data(), 0) + triangleArea(groundQuadPositions.data(), 3), 4.0f);
    for (size_t v = 0; v < 6; ++v) {
        const glm::vec4 p = corner(groundQuadPositions.data(), v);
        EXPECT_EQ(std::abs(p.x), 1.0f) << "vertex " << v;
        EXPECT_EQ(p.y, 0.0f) << "vertex " << v;
        EXPECT_EQ(std::abs(p.z), 1.0f) << "vertex " << v;
        EXPECT_EQ(p.w, 1.0f) << "vertex " << v;
        EXPECT_EQ(glm::make_vec2(groundQuadTexCoords.data() + 2 * v), glm::vec2((p.x + 1) / 2, (1 - p.z) / 2))
            << "v grows towards -z";
    }
}

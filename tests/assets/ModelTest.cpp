// ModelTest.cpp -- OBJ import into GL buffers (counts, buffer contents, the vertex array, the timing line,
// polygons, missing attributes, files that cannot be read), the model registry, uploads of program-held
// arrays, and the built-in meshes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <regex>

#include <epoxy/gl.h>
#include <glm/glm.hpp>

#include "assets/Model.h"
#include "assets/ShaderProgram.h"
#include "support/Files.h"
#include "support/GlContext.h"

using omxtest::scratchFile;

namespace {

int bufferSize(uint32_t buffer) {
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    GLint size = -1;
    glGetBufferParameteriv(GL_ARRAY_BUFFER, GL_BUFFER_SIZE, &size);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    return size;
}

std::vector<float> bufferFloats(uint32_t buffer) {
    std::vector<float> values(static_cast<size_t>(std::max(bufferSize(buffer), 0)) / sizeof(float));
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    glGetBufferSubData(GL_ARRAY_BUFFER, 0, static_cast<GLsizeiptr>(values.size() * sizeof(float)), values.data());
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    return values;
}

GLint usageOf(GLuint buffer) {
    GLint usage = 0;
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    glGetBufferParameteriv(GL_ARRAY_BUFFER, GL_BUFFER_USAGE, &usage);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    return usage;
}

glm::vec3 corner(const float* positions, size_t vertex) {
    return {positions[4 * vertex], positions[4 * vertex + 1], positions[4 * vertex + 2]};
}

// Two objects: a triangle, then two triangles; every corner uses texture coordinate (0.25, 0.75).
const char* const twoMeshObj =
    "v 0 0 0\nv 1 0 0\nv 0 1 0\nv 0 0 1\n"
    "vt 0.25 0.75\n"
    "vn 0 0 1\n"
    "o first\nf 1/1/1 2/1/1 3/1/1\n"
    "o second\nf 1/1/1 2/1/1 4/1/1\nf 2/1/1 3/1/1 4/1/1\n";

// The path as a literal part of a regular expression.
std::string literal(const std::string& text) {
    return std::regex_replace(text, std::regex(R"([.^$|()\[\]{}*+?\\])"), R"(\$&)");
}

struct Printed {
    std::string out, err;
};

// GL tests with a program that has the three vertex inputs, leaving no OpenGL error behind.
class ModelLoad : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(omxtest::ensureGlContext()) << omxtest::glContextFailure();
        scratchFile("attributes.vert",
                    "#version 330 core\n"
                    "in vec4 vVertex;\nin vec3 vNormal;\nin vec2 vTexCoord;\nout vec4 shade;\n"
                    "void main() { shade = vec4(vNormal, vTexCoord.x + vTexCoord.y); gl_Position = vVertex; }\n");
        scratchFile("attributes.frag", "#version 330 core\nin vec4 shade;\nout vec4 color;\nvoid main() { color = shade; }\n");
        program = std::make_unique<ShaderProgram>(omxtest::scratchFolder() + "/attributes");
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
    bool attributeEnabled(GLuint vao, const char* name) {
        glBindVertexArray(vao);
        GLint enabled = 0;
        glGetVertexAttribiv(static_cast<GLuint>(glGetAttribLocation(program->program, name)),
                            GL_VERTEX_ATTRIB_ARRAY_ENABLED, &enabled);
        glBindVertexArray(0);
        return enabled != 0;
    }

    std::unique_ptr<ShaderProgram> program;
};

using UploadGeometry = ModelLoad;

}  // namespace

TEST_F(ModelLoad, TwoMeshesGiveCountsBuffersTheVertexArrayAndTheTimingLine) {
    const std::string path = scratchFile("two-meshes.obj", twoMeshObj);
    Model model;
    const Printed output = load(model, path);
    EXPECT_EQ(output.err, "");
    EXPECT_TRUE(std::regex_match(output.out, std::regex("Loading: " + literal(path) +
                                                        " needed time: [0-9.e+-]+ mesh count: 2 vertices count: 9\n")))
        << output.out;
    EXPECT_EQ(model.meshCount, 2);
    EXPECT_EQ(model.meshVertexCounts, (std::vector<uint32_t>{3, 6}));
    ASSERT_NE(model.vao, 0u);

    const std::vector<float> positions = bufferFloats(model.buffers[0]);
    ASSERT_EQ(positions.size(), 36u);
    for (size_t v = 0; v < 9; ++v) EXPECT_EQ(positions[4 * v + 3], 1.0f) << "vertex " << v;
    // Mesh order and corner order follow the file.
    EXPECT_EQ(std::vector<float>(positions.begin() + 12, positions.begin() + 24),
              (std::vector<float>{0, 0, 0, 1, 1, 0, 0, 1, 0, 0, 1, 1}));
    // Texture coordinates have v flipped for GL.
    EXPECT_EQ(bufferFloats(model.buffers[2]), std::vector<float>(18, 0.25f));
    const std::vector<float> normals = bufferFloats(model.buffers[1]);
    ASSERT_EQ(normals.size(), 27u);
    for (size_t v = 0; v < 9; ++v) EXPECT_EQ(normals[3 * v + 2], 1.0f);

    // The vertex array records the three buffers at the program's locations.
    struct Attribute {
        const char* name;
        GLuint buffer;
        GLint components;
    };
    glBindVertexArray(model.vao);
    for (const Attribute& a : {Attribute{"vVertex", model.buffers[0], 4}, Attribute{"vNormal", model.buffers[1], 3},
                               Attribute{"vTexCoord", model.buffers[2], 2}}) {
        SCOPED_TRACE(a.name);
        const GLint location = glGetAttribLocation(program->program, a.name);
        ASSERT_GE(location, 0);
        const auto attribute = [location](GLenum name) {
            GLint value = -1;
            glGetVertexAttribiv(static_cast<GLuint>(location), name, &value);
            return value;
        };
        EXPECT_EQ(attribute(GL_VERTEX_ATTRIB_ARRAY_ENABLED), 1);
        EXPECT_EQ(static_cast<GLuint>(attribute(GL_VERTEX_ATTRIB_ARRAY_BUFFER_BINDING)), a.buffer);
        EXPECT_EQ(attribute(GL_VERTEX_ATTRIB_ARRAY_SIZE), a.components);
        EXPECT_EQ(attribute(GL_VERTEX_ATTRIB_ARRAY_TYPE), GL_FLOAT);
    }
    glBindVertexArray(0);
    GLint boundArray = -1, boundBuffer = -1;
    load(model, scratchFile("two-meshes-again.obj", twoMeshObj));
    glGetIntegerv(GL_VERTEX_ARRAY_BINDING, &boundArray);
    glGetIntegerv(GL_ARRAY_BUFFER_BINDING, &boundBuffer);
    EXPECT_EQ(boundArray, 0);
    EXPECT_EQ(boundBuffer, 0);
}

TEST_F(ModelLoad, AQuadBecomesTwoTrianglesOfItsOwnCornersAndMissingNormalsAndTextureCoordinatesAreZeros) {
    const std::string path = scratchFile("quad.obj", "v 0 0 0\nv 2 0 0\nv 2 0 3\nv 0 0 3\nf 1 2 3 4\n");
    MeshArrays arrays;
    std::string reason;
    ASSERT_TRUE(importMeshArrays(path, arrays, reason));
    EXPECT_EQ(arrays.vertexCount(), 6);
    EXPECT_EQ(arrays.normals, std::vector<float>(18, 0.0f));
    EXPECT_EQ(arrays.texCoords, std::vector<float>(12, 0.0f));
    Model model;
    const Printed output = load(model, path);
    EXPECT_NE(output.out.find("mesh count: 1 vertices count: 6"), std::string::npos) << output.out;
    EXPECT_EQ(model.meshVertexCounts, (std::vector<uint32_t>{6}));
    EXPECT_EQ(bufferFloats(model.buffers[1]), std::vector<float>(18, 0.0f));
    EXPECT_EQ(bufferFloats(model.buffers[2]), std::vector<float>(12, 0.0f));
    const std::vector<float> positions = bufferFloats(model.buffers[0]);
    ASSERT_EQ(positions.size(), 24u);
    // Both triangles together cover the 2 x 3 quad exactly once, each with three distinct quad corners.
    float area = 0;
    for (size_t t = 0; t < 2; ++t) {
        const float* p = positions.data() + 12 * t;
        const float ax = p[4] - p[0], az = p[6] - p[2], bx = p[8] - p[0], bz = p[10] - p[2];
        area += 0.5f * std::abs(ax * bz - az * bx);
        for (size_t c = 0; c < 3; ++c) {
            const float x = p[4 * c], z = p[4 * c + 2];
            EXPECT_TRUE((x == 0 || x == 2) && (z == 0 || z == 3)) << x << " " << z;
            EXPECT_EQ(p[4 * c + 3], 1.0f);
        }
    }
    EXPECT_FLOAT_EQ(area, 6.0f);
}

TEST_F(ModelLoad, AReadableFileWithoutMeshesLeavesTheModelAsItWasAndPrintsNothing) {
    Model model;
    load(model, scratchFile("earlier.obj", twoMeshObj));
    const GLuint vao = model.vao;
    const Printed output = load(model, scratchFile("nomeshes.obj", "# every group was removed\n"));
    EXPECT_EQ(output.out + output.err, "");
    EXPECT_EQ(model.meshCount, 2);
    EXPECT_EQ(model.meshVertexCounts, (std::vector<uint32_t>{3, 6}));
    EXPECT_EQ(model.vao, vao);
    EXPECT_EQ(bufferSize(model.buffers[0]), 144);
}

TEST_F(ModelLoad, UnreadableFilesPrintOneLineWithPathAndReasonAndEmptyTheModel) {
    std::string garbage;
    for (int i = 0; i < 512; ++i) garbage += static_cast<char>((i * 7919) % 251);
    struct Case {
        std::string path;
        bool loadedBefore;
    };
    const Case cases[] = {{omxtest::scratchFolder() + "/no-such-model.obj", false},
                          {scratchFile("empty.obj", ""), false},
                          {scratchFile("garbage.obj", garbage), true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        Model model;
        if (c.loadedBefore) load(model, scratchFile("earlier.obj", twoMeshObj));
        const Printed output = load(model, c.path);
        EXPECT_EQ(output.out, "");
        EXPECT_TRUE(std::regex_match(output.err, std::regex("model load failed: " + literal(c.path) + ": [^\n]+\n")))
            << output.err;
        EXPECT_EQ(model.meshCount, 0);
        EXPECT_TRUE(model.meshVertexCounts.empty());
        if (!c.loadedBefore) {
            EXPECT_EQ(model.vao, 0u);
        }
        // The importer alone gives the same one-line reason and empties what it was handed.
        MeshArrays arrays;
        arrays.positions = {1, 2, 3, 4};
        std::string reason;
        EXPECT_FALSE(importMeshArrays(c.path, arrays, reason));
        EXPECT_EQ(output.err, "model load failed: " + c.path + ": " + reason + "\n");
        EXPECT_EQ(arrays.vertexCount(), 0);
    }
}

TEST(ModelRegistry, ModelsJoinInCreationOrderAndLeaveOnDestruction) {
    const size_t before = allModels.size();
    {
        Model a;
        Model b;
        ASSERT_EQ(allModels.size(), before + 2);
        EXPECT_EQ(allModels[before], &a);
        EXPECT_EQ(allModels[before + 1], &b);
    }
    EXPECT_EQ(allModels.size(), before);
}

TEST_F(UploadGeometry, SizesFollowThePositionBytesAbsentArraysAreLeftAloneAndReuseRefills) {
    Model full;
    uploadGeometry(full, *program, groundQuadPositions.data(), computeFaceNormals().data(),
                   groundQuadTexCoords.data(), 96, GeometryUsage::Static, false);
    ASSERT_NE(full.vao, 0u);
    EXPECT_EQ(bufferSize(full.buffers[0]), 96);
    EXPECT_EQ(bufferSize(full.buffers[1]), 72);
    EXPECT_EQ(bufferSize(full.buffers[2]), 48);
    EXPECT_EQ(bufferFloats(full.buffers[2]), std::vector<float>(groundQuadTexCoords.begin(), groundQuadTexCoords.end()));
    EXPECT_EQ(full.meshCount, 0);

    Model bare;
    uploadGeometry(bare, *program, pyramidPositions.data(), nullptr, nullptr, 192, GeometryUsage::Static, false);
    EXPECT_EQ(bufferSize(bare.buffers[0]), 192);
    EXPECT_EQ(bufferSize(bare.buffers[1]), 0);
    EXPECT_EQ(bufferSize(bare.buffers[2]), 0);
    EXPECT_TRUE(attributeEnabled(bare.vao, "vVertex"));
    EXPECT_FALSE(attributeEnabled(bare.vao, "vNormal"));
    EXPECT_FALSE(attributeEnabled(bare.vao, "vTexCoord"));
    EXPECT_EQ(usageOf(bare.buffers[0]), GL_STATIC_DRAW);

    // The strike refills its own objects every frame.
    Model strike;
    const std::vector<float> first(24, 1.0f);
    uploadGeometry(strike, *program, first.data(), nullptr, nullptr, 96, GeometryUsage::Dynamic, false);
    const GLuint vao = strike.vao;
    const std::array<uint32_t, 3> buffers = strike.buffers;
    const std::vector<float> second = {0, 1, 2, 1, 3, 4, 5, 1};
    uploadGeometry(strike, *program, second.data(), nullptr, nullptr, 32, GeometryUsage::Dynamic, true);
    EXPECT_EQ(strike.vao, vao);
    EXPECT_EQ(strike.buffers, buffers);
    EXPECT_EQ(bufferFloats(strike.buffers[0]), second);
    EXPECT_EQ(usageOf(strike.buffers[0]), GL_DYNAMIC_DRAW);
}

TEST(BuiltInMeshes, GroundQuadIsTwoCounterClockwiseTrianglesFacingUpWithUpNormals) {
    const float* p = groundQuadPositions.data();
    float area = 0;
    for (size_t t = 0; t < 2; ++t) {
        const glm::vec3 a = corner(p, 3 * t), b = corner(p, 3 * t + 1), c = corner(p, 3 * t + 2);
        EXPECT_GT(glm::cross(b - a, c - a).y, 0.0f) << "triangle " << t;
        area += glm::length(glm::cross(b - a, c - a)) / 2;
    }
    EXPECT_FLOAT_EQ(area, 4.0f);  // the two triangles cover the whole 2 x 2 square
    for (size_t v = 0; v < 6; ++v) {
        SCOPED_TRACE(testing::Message() << "vertex " << v);
        EXPECT_EQ(std::abs(p[4 * v]), 1.0f);
        EXPECT_EQ(p[4 * v + 1], 0.0f);
        EXPECT_EQ(std::abs(p[4 * v + 2]), 1.0f);
        EXPECT_EQ(p[4 * v + 3], 1.0f);
        // Each texture coordinate maps its corner from (-1, -1)..(1, 1) onto 0..1 (v grows towards -z).
        EXPECT_EQ(groundQuadTexCoords[2 * v], (p[4 * v] + 1) / 2);
        EXPECT_EQ(groundQuadTexCoords[2 * v + 1], (1 - p[4 * v + 2]) / 2);
    }
    const std::vector<float> normals = computeFaceNormals();
    ASSERT_EQ(normals.size(), 18u);
    for (size_t v = 0; v < 6; ++v) EXPECT_EQ(glm::vec3(normals[3 * v], normals[3 * v + 1], normals[3 * v + 2]),
                                             glm::vec3(0, 1, 0));
}

TEST(BuiltInMeshes, PyramidSidesMeetAtTheApexAndFaceOutwards) {
    const float* p = pyramidPositions.data();
    const std::vector<glm::vec3> base = {{-1, 0, 1}, {1, 0, 1}, {1, 0, -1}, {-1, 0, -1}};
    for (size_t t = 0; t < 4; ++t) {
        SCOPED_TRACE(testing::Message() << "triangle " << t);
        const glm::vec3 a = corner(p, 3 * t), b = corner(p, 3 * t + 1), c = corner(p, 3 * t + 2);
        EXPECT_EQ(a, base[t]);
        EXPECT_EQ(b, base[(t + 1) % 4]);
        EXPECT_EQ(c, glm::vec3(0, 2, 0));
        for (size_t k = 0; k < 3; ++k) EXPECT_EQ(p[4 * (3 * t + k) + 3], 1.0f);
        const glm::vec3 middle = (a + b + c) / 3.0f;
        EXPECT_GT(glm::dot(glm::cross(b - a, c - a), middle - glm::vec3(0, 0.5f, 0)), 0.0f);
        EXPECT_EQ(std::vector<float>(pyramidTexCoords.begin() + 6 * t, pyramidTexCoords.begin() + 6 * t + 6),
                  (std::vector<float>{0, 0, 1, 0, 0.5f, 1}));
    }
}

// ModelLoadTest.cpp -- OBJ import into GL buffers: counts, buffer sizes and contents, the vertex array, the
// timing line, polygons, missing attributes and files that cannot be read.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <regex>

#include <epoxy/gl.h>

#include "AssetFiles.h"
#include "assets/Model.h"
#include "support/Files.h"

using assettest::bufferFloats;
using assettest::bufferSize;
using omxtest::scratchFile;

namespace {

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

class ModelLoad : public AttributeProgramTest {
protected:
    assettest::Printed load(Model& model, const std::string& path) {
        return assettest::printed([&] { loadModel(model, path, *program); });
    }
};

}  // namespace

TEST_F(ModelLoad, TwoMeshesGiveCountsBuffersTheVertexArrayAndTheTimingLine) {
    const std::string path = scratchFile("two-meshes.obj", twoMeshObj);
    Model model;
    const assettest::Printed output = load(model, path);
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

TEST_F(ModelLoad, QuadFaceBecomesTwoTrianglesOfItsOwnCorners) {
    Model model;
    const assettest::Printed output =
        load(model, scratchFile("quad.obj", "v 0 0 0\nv 2 0 0\nv 2 0 3\nv 0 0 3\nf 1 2 3 4\n"));
    EXPECT_NE(output.out.find("mesh count: 1 vertices count: 6"), std::string::npos) << output.out;
    EXPECT_EQ(model.meshVertexCounts, (std::vector<uint32_t>{6}));
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

TEST_F(ModelLoad, MissingNormalsAndTextureCoordinatesAreZeros) {
    const std::string path = scratchFile("bare.obj", "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n");
    MeshArrays arrays;
    std::string reason;
    ASSERT_TRUE(importMeshArrays(path, arrays, reason));
    EXPECT_EQ(arrays.vertexCount(), 3);
    EXPECT_EQ(arrays.normals, std::vector<float>(9, 0.0f));
    EXPECT_EQ(arrays.texCoords, std::vector<float>(6, 0.0f));
    Model model;
    load(model, path);
    EXPECT_EQ(bufferFloats(model.buffers[1]), std::vector<float>(9, 0.0f));
    EXPECT_EQ(bufferFloats(model.buffers[2]), std::vector<float>(6, 0.0f));
}

TEST_F(ModelLoad, AReadableFileWithoutMeshesLeavesTheModelAsItWasAndPrintsNothing) {
    Model model;
    load(model, scratchFile("earlier.obj", twoMeshObj));
    const GLuint vao = model.vao;
    const assettest::Printed output = load(model, scratchFile("nomeshes.obj", "# every group was removed\n"));
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
        const assettest::Printed output = load(model, c.path);
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

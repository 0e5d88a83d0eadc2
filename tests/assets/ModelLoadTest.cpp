// ModelLoadTest.cpp -- OBJ import into GL buffers: counts, buffer sizes and contents, the timing line,
// polygons, missing attributes and unreadable files.
#include <gtest/gtest.h>

#include <algorithm>

#include <cmath>
#include <regex>

#include <epoxy/gl.h>

#include "AssetFiles.h"
#include "AttributeProgramTest.h"
#include "GlReadback.h"
#include "assets/Model.h"
#include "assets/ShaderProgram.h"
#include "support/GlContext.h"

using assettest::bufferFloats;
using assettest::bufferSize;
using assettest::writeScratchFile;

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

struct LoadOutput {
    std::string out;
    std::string err;
};

class ModelLoad : public AttributeProgramTest {
protected:
    LoadOutput load(Model& model, const std::string& path) {
        testing::internal::CaptureStdout();
        testing::internal::CaptureStderr();
        loadModel(model, path, *program);
        LoadOutput output;
        output.err = testing::internal::GetCapturedStderr();
        output.out = testing::internal::GetCapturedStdout();
        return output;
    }
};

}  // namespace

TEST_F(ModelLoad, TwoMeshesGiveCountsBufferSizesAndTheTimingLine) {
    const std::string path = writeScratchFile("two-meshes.obj", twoMeshObj);
    Model model;
    const LoadOutput output = load(model, path);
    EXPECT_EQ(output.err, "");
    EXPECT_TRUE(std::regex_match(output.out, std::regex("Loading: " + literal(path) +
                                                        " needed time: [0-9.e+-]+ mesh count: 2 vertices count: 9\n")))
        << output.out;
    EXPECT_EQ(model.meshCount, 2);
    EXPECT_EQ(model.meshVertexCounts, (std::vector<uint32_t>{3, 6}));
    ASSERT_NE(model.vao, 0u);
    EXPECT_EQ(bufferSize(model.buffers[0]), 144);
    EXPECT_EQ(bufferSize(model.buffers[1]), 108);
    EXPECT_EQ(bufferSize(model.buffers[2]), 72);

    const std::vector<float> positions = bufferFloats(model.buffers[0]);
    for (size_t v = 0; v < 9; ++v) EXPECT_EQ(positions[4 * v + 3], 1.0f) << "vertex " << v;
    // Mesh order and corner order follow the file.
    EXPECT_EQ(std::vector<float>(positions.begin() + 12, positions.begin() + 24),
              (std::vector<float>{0, 0, 0, 1, 1, 0, 0, 1, 0, 0, 1, 1}));
    const std::vector<float> texCoords = bufferFloats(model.buffers[2]);
    for (size_t v = 0; v < 9; ++v) {
        EXPECT_FLOAT_EQ(texCoords[2 * v], 0.25f);
        EXPECT_FLOAT_EQ(texCoords[2 * v + 1], 0.25f);
    }
    const std::vector<float> normals = bufferFloats(model.buffers[1]);
    for (size_t v = 0; v < 9; ++v) EXPECT_EQ(normals[3 * v + 2], 1.0f);
}

TEST_F(ModelLoad, VertexArrayRecordsTheThreeBuffersAtTheProgramsLocations) {
    Model model;
    load(model, writeScratchFile("bindings.obj", twoMeshObj));
    struct Attribute {
        const char* name;
        GLuint buffer;
        GLint components;
    };
    glBindVertexArray(model.vao);
    for (const Attribute& a : {Attribute{"vVertex", model.buffers[0], 4}, Attribute{"vNormal", model.buffers[1], 3},
                               Attribute{"vTexCoord", model.buffers[2], 2}}) {
        const GLint location = glGetAttribLocation(program->program, a.name);
        ASSERT_GE(location, 0) << a.name;
        GLint enabled = 0, buffer = 0, size = 0, type = 0;
        glGetVertexAttribiv(static_cast<GLuint>(location), GL_VERTEX_ATTRIB_ARRAY_ENABLED, &enabled);
        glGetVertexAttribiv(static_cast<GLuint>(location), GL_VERTEX_ATTRIB_ARRAY_BUFFER_BINDING, &buffer);
        glGetVertexAttribiv(static_cast<GLuint>(location), GL_VERTEX_ATTRIB_ARRAY_SIZE, &size);
        glGetVertexAttribiv(static_cast<GLuint>(location), GL_VERTEX_ATTRIB_ARRAY_TYPE, &type);
        EXPECT_EQ(enabled, 1) << a.name;
        EXPECT_EQ(static_cast<GLuint>(buffer), a.buffer) << a.name;
        EXPECT_EQ(size, a.components) << a.name;
        EXPECT_EQ(type, GL_FLOAT) << a.name;
    }
    glBindVertexArray(0);
    GLint boundArray = -1, boundBuffer = -1;
    glGetIntegerv(GL_VERTEX_ARRAY_BINDING, &boundArray);
    glGetIntegerv(GL_ARRAY_BUFFER_BINDING, &boundBuffer);
    EXPECT_EQ(boundArray, 0);
    EXPECT_EQ(boundBuffer, 0);
}

TEST_F(ModelLoad, QuadFaceBecomesTwoTrianglesOfItsOwnCorners) {
    Model model;
    const LoadOutput output =
        load(model, writeScratchFile("quad.obj", "v 0 0 0\nv 2 0 0\nv 2 0 3\nv 0 0 3\nf 1 2 3 4\n"));
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
    MeshArrays arrays;
    std::string reason;
    ASSERT_TRUE(importMeshArrays(writeScratchFile("bare.obj", "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n"), arrays, reason));
    EXPECT_EQ(arrays.vertexCount(), 3);
    EXPECT_EQ(arrays.normals, std::vector<float>(9, 0.0f));
    EXPECT_EQ(arrays.texCoords, std::vector<float>(6, 0.0f));

    Model model;
    load(model, writeScratchFile("bare2.obj", "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n"));
    EXPECT_EQ(bufferFloats(model.buffers[1]), std::vector<float>(9, 0.0f));
    EXPECT_EQ(bufferFloats(model.buffers[2]), std::vector<float>(6, 0.0f));
}

TEST_F(ModelLoad, AReadableFileWithoutMeshesLeavesTheModelAsItWasAndPrintsNothing) {
    Model model;
    load(model, writeScratchFile("earlier.obj", twoMeshObj));
    const GLuint vao = model.vao;
    const LoadOutput output = load(model, writeScratchFile("nomeshes.obj", "# every group of this model was removed\n"));
    EXPECT_EQ(output.out, "");
    EXPECT_EQ(output.err, "");
    EXPECT_EQ(model.meshCount, 2);
    EXPECT_EQ(model.meshVertexCounts, (std::vector<uint32_t>{3, 6}));
    EXPECT_EQ(model.vao, vao);
    EXPECT_EQ(bufferSize(model.buffers[0]), 144);
}

TEST_F(ModelLoad, GarbageIsRefusedWithItsLineAndEmptiesTheModel) {
    std::vector<unsigned char> garbage;
    for (int i = 0; i < 512; ++i) garbage.push_back(static_cast<unsigned char>((i * 7919) % 251));
    Model model;
    load(model, writeScratchFile("earlier2.obj", twoMeshObj));
    const std::string path = writeScratchFile("garbage.obj", garbage);
    const LoadOutput output = load(model, path);
    EXPECT_EQ(output.out, "");
    EXPECT_EQ(output.err.rfind("model load failed: " + path + ": ", 0), 0u) << output.err;
    EXPECT_EQ(std::count(output.err.begin(), output.err.end(), '\n'), 1);
    EXPECT_EQ(model.meshCount, 0);
    EXPECT_TRUE(model.meshVertexCounts.empty());
}

TEST_F(ModelLoad, UnreadableFilesPrintOneLineNamingThePathAndLeaveTheModelEmpty) {
    for (const std::string& path :
         {assettest::scratchDirectory() + "/no-such-model.obj", writeScratchFile("empty.obj", std::string())}) {
        Model model;
        const LoadOutput output = load(model, path);
        EXPECT_EQ(output.out, "") << path;
        EXPECT_TRUE(std::regex_match(output.err, std::regex("model load failed: " + literal(path) + ": [^\n]+\n")))
            << output.err;
        EXPECT_EQ(model.meshCount, 0);
        EXPECT_TRUE(model.meshVertexCounts.empty());
        EXPECT_EQ(model.vao, 0u);
    }
}

TEST(ModelImport, ReasonIsGivenForAFileThatCannotBeRead) {
    MeshArrays arrays;
    arrays.positions = {1, 2, 3, 4};
    std::string reason;
    EXPECT_FALSE(importMeshArrays(assettest::scratchDirectory() + "/absent.obj", arrays, reason));
    EXPECT_FALSE(reason.empty());
    EXPECT_EQ(reason.find('\n'), std::string::npos);
    EXPECT_EQ(arrays.vertexCount(), 0);
}

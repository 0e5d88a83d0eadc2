// ModelGeometryTest.cpp -- the model registry, uploads of program-held arrays, and the built-in meshes.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include <epoxy/gl.h>
#include <glm/glm.hpp>

#include "AssetFiles.h"
#include "AttributeProgramTest.h"
#include "GlReadback.h"
#include "assets/Model.h"
#include "assets/ShaderProgram.h"
#include "support/GlContext.h"

using assettest::bufferFloats;
using assettest::bufferSize;

namespace {

bool attributeEnabled(const ShaderProgram& program, GLuint vao, const char* name) {
    glBindVertexArray(vao);
    GLint enabled = 0;
    glGetVertexAttribiv(static_cast<GLuint>(glGetAttribLocation(program.program, name)),
                        GL_VERTEX_ATTRIB_ARRAY_ENABLED, &enabled);
    glBindVertexArray(0);
    return enabled != 0;
}

glm::vec3 corner(const float* positions, size_t vertex) {
    return {positions[4 * vertex], positions[4 * vertex + 1], positions[4 * vertex + 2]};
}

class UploadGeometry : public AttributeProgramTest {};

}  // namespace

TEST(ModelRegistry, ModelsJoinInCreationOrderWithTheirDefaultsAndLeaveOnDestruction) {
    const size_t before = allModels.size();
    {
        Model a;
        Model b;
        ASSERT_EQ(allModels.size(), before + 2);
        EXPECT_EQ(allModels[before], &a);
        EXPECT_EQ(allModels[before + 1], &b);
        EXPECT_EQ(a.meshCount, 0);
        EXPECT_EQ(a.materialFactor, 0.0f);
        EXPECT_EQ(a.diffuseColor, (std::array<float, 4>{1, 1, 1, 1}));
        EXPECT_EQ(a.useLight, 1);
        EXPECT_EQ(a.useTexture, 1);
        EXPECT_EQ(a.textureCount, 0);
        EXPECT_EQ(a.vao, 0u);
    }
    EXPECT_EQ(allModels.size(), before);
}

TEST_F(UploadGeometry, SizesFollowThePositionBytesAndAbsentArraysAreLeftAlone) {
    Model full;
    uploadGeometry(full, *program, groundQuadPositions.data(), computeFaceNormals().data(),
                   groundQuadTexCoords.data(), 96, GeometryUsage::Static, false);
    ASSERT_NE(full.vao, 0u);
    EXPECT_EQ(bufferSize(full.buffers[0]), 96);
    EXPECT_EQ(bufferSize(full.buffers[1]), 72);
    EXPECT_EQ(bufferSize(full.buffers[2]), 48);
    EXPECT_EQ(bufferFloats(full.buffers[2]),
              std::vector<float>(groundQuadTexCoords.begin(), groundQuadTexCoords.end()));
    EXPECT_EQ(full.meshCount, 0);

    Model bare;
    uploadGeometry(bare, *program, pyramidPositions.data(), nullptr, nullptr, 192, GeometryUsage::Static, false);
    EXPECT_EQ(bufferSize(bare.buffers[0]), 192);
    EXPECT_EQ(bufferSize(bare.buffers[1]), 0);
    EXPECT_EQ(bufferSize(bare.buffers[2]), 0);
    EXPECT_TRUE(attributeEnabled(*program, bare.vao, "vVertex"));
    EXPECT_FALSE(attributeEnabled(*program, bare.vao, "vNormal"));
    EXPECT_FALSE(attributeEnabled(*program, bare.vao, "vTexCoord"));
    GLint usage = 0;
    glBindBuffer(GL_ARRAY_BUFFER, bare.buffers[0]);
    glGetBufferParameteriv(GL_ARRAY_BUFFER, GL_BUFFER_USAGE, &usage);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    EXPECT_EQ(usage, GL_STATIC_DRAW);
}

TEST_F(UploadGeometry, ReuseRefillsTheSameObjects) {
    Model strike;
    const std::vector<float> first(24, 1.0f);
    uploadGeometry(strike, *program, first.data(), nullptr, nullptr, 96, GeometryUsage::Dynamic, false);
    const GLuint vao = strike.vao;
    const std::array<uint32_t, 3> buffers = strike.buffers;

    const std::vector<float> second = {0, 1, 2, 1, 3, 4, 5, 1};
    uploadGeometry(strike, *program, second.data(), nullptr, nullptr, 32, GeometryUsage::Dynamic, true);
    EXPECT_EQ(strike.vao, vao);
    EXPECT_EQ(strike.buffers, buffers);
    EXPECT_EQ(bufferSize(strike.buffers[0]), 32);
    EXPECT_EQ(bufferFloats(strike.buffers[0]), second);
    GLint usage = 0;
    glBindBuffer(GL_ARRAY_BUFFER, strike.buffers[0]);
    glGetBufferParameteriv(GL_ARRAY_BUFFER, GL_BUFFER_USAGE, &usage);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    EXPECT_EQ(usage, GL_DYNAMIC_DRAW);
}

TEST(BuiltInMeshes, GroundQuadIsTwoCounterClockwiseTrianglesFacingUp) {
    const float* p = groundQuadPositions.data();
    const std::vector<glm::vec3> expected = {{-1, 0, 1}, {1, 0, 1}, {-1, 0, -1}, {1, 0, 1}, {1, 0, -1}, {-1, 0, -1}};
    for (size_t v = 0; v < 6; ++v) {
        EXPECT_EQ(corner(p, v), expected[v]) << "vertex " << v;
        EXPECT_EQ(p[4 * v + 3], 1.0f);
    }
    EXPECT_EQ(groundQuadTexCoords, (std::array<float, 12>{0, 0, 1, 0, 0, 1, 1, 0, 1, 1, 0, 1}));
    for (size_t t = 0; t < 2; ++t) {
        const glm::vec3 a = corner(p, 3 * t), b = corner(p, 3 * t + 1), c = corner(p, 3 * t + 2);
        EXPECT_GT(glm::cross(b - a, c - a).y, 0.0f) << "triangle " << t;
    }
    // Each texture coordinate maps its corner from (-1, -1)..(1, 1) onto 0..1 (v grows towards -z).
    for (size_t v = 0; v < 6; ++v) {
        EXPECT_EQ(groundQuadTexCoords[2 * v], (p[4 * v] + 1) / 2);
        EXPECT_EQ(groundQuadTexCoords[2 * v + 1], (1 - p[4 * v + 2]) / 2);
    }
}

TEST(BuiltInMeshes, FaceNormalsOfTheGroundQuadPointUp) {
    const std::vector<float> normals = computeFaceNormals();
    ASSERT_EQ(normals.size(), 18u);
    for (size_t v = 0; v < 6; ++v) EXPECT_EQ(glm::vec3(normals[3 * v], normals[3 * v + 1], normals[3 * v + 2]),
                                             glm::vec3(0, 1, 0));
}

TEST(BuiltInMeshes, PyramidSidesMeetAtTheApexAndFaceOutwards) {
    const float* p = pyramidPositions.data();
    const std::vector<glm::vec3> base = {{-1, 0, 1}, {1, 0, 1}, {1, 0, -1}, {-1, 0, -1}};
    for (size_t t = 0; t < 4; ++t) {
        const glm::vec3 a = corner(p, 3 * t), b = corner(p, 3 * t + 1), c = corner(p, 3 * t + 2);
        EXPECT_EQ(a, base[t]) << "triangle " << t;
        EXPECT_EQ(b, base[(t + 1) % 4]) << "triangle " << t;
        EXPECT_EQ(c, glm::vec3(0, 2, 0)) << "triangle " << t;
        for (size_t k = 0; k < 3; ++k) EXPECT_EQ(p[4 * (3 * t + k) + 3], 1.0f);
        const glm::vec3 middle = (a + b + c) / 3.0f;
        EXPECT_GT(glm::dot(glm::cross(b - a, c - a), middle - glm::vec3(0, 0.5f, 0)), 0.0f) << "triangle " << t;
        EXPECT_EQ(std::vector<float>(pyramidTexCoords.begin() + 6 * t, pyramidTexCoords.begin() + 6 * t + 6),
                  (std::vector<float>{0, 0, 1, 0, 0.5f, 1}));
    }
}

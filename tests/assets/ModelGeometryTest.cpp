// ModelGeometryTest.cpp -- the model registry, uploads of program-held arrays, and the built-in meshes.
#include <gtest/gtest.h>

#include <epoxy/gl.h>
#include <glm/glm.hpp>

#include "AssetFiles.h"
#include "assets/Model.h"

using assettest::bufferFloats;
using assettest::bufferSize;

namespace {

glm::vec3 corner(const float* positions, size_t vertex) {
    return {positions[4 * vertex], positions[4 * vertex + 1], positions[4 * vertex + 2]};
}

GLint usageOf(GLuint buffer) {
    GLint usage = 0;
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    glGetBufferParameteriv(GL_ARRAY_BUFFER, GL_BUFFER_USAGE, &usage);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    return usage;
}

class UploadGeometry : public AttributeProgramTest {
protected:
    bool attributeEnabled(GLuint vao, const char* name) {
        glBindVertexArray(vao);
        GLint enabled = 0;
        glGetVertexAttribiv(static_cast<GLuint>(glGetAttribLocation(program->program, name)),
                            GL_VERTEX_ATTRIB_ARRAY_ENABLED, &enabled);
        glBindVertexArray(0);
        return enabled != 0;
    }
};

}  // namespace

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

// AttributeProgramTest.h -- GL tests that upload geometry through a program with the three vertex inputs,
// and that leave no OpenGL error behind.
#pragma once

#include <memory>

#include <gtest/gtest.h>

#include <epoxy/gl.h>

#include "AssetFiles.h"
#include "assets/ShaderProgram.h"
#include "support/GlContext.h"

class AttributeProgramTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(omxtest::ensureGlContext()) << omxtest::glContextFailure();
        program = std::make_unique<ShaderProgram>(assettest::attributeShaderPath());
        ASSERT_TRUE(program->valid);
        while (glGetError() != GL_NO_ERROR) {
        }
    }
    void TearDown() override { EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR)); }

    std::unique_ptr<ShaderProgram> program;
};

// ShaderProgramTest.cpp -- building programs from file pairs, and every failure with its message and stream.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>

#include <unistd.h>

#include <epoxy/gl.h>

#include "assets/ShaderProgram.h"
#include "support/GlContext.h"

namespace {

const char* goodVertex =
    "#version 330 core\nin vec4 vVertex;\nuniform mat4 mvpMatrix;\n"
    "void main() { gl_Position = mvpMatrix * vVertex; }\n";
const char* goodFragment =
    "#version 330 core\nout vec4 vFragColor;\nuniform vec4 diffuseColor;\n"
    "void main() { vFragColor = diffuseColor; }\n";

struct Output {
    std::string out;
    std::string err;
};

class ShaderPrograms : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(omxtest::ensureGlContext()) << omxtest::glContextFailure();
        char pattern[] = "/tmp/omnivex-shaders-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir = pattern;
        while (glGetError() != GL_NO_ERROR) {
        }
    }
    void TearDown() override { std::system(("rm -rf '" + dir + "'").c_str()); }

    void write(const std::string& name, const std::string& text) {
        std::ofstream file(dir + "/" + name);
        file << text;
    }
    // Builds the program "<dir>/<base>" and captures both streams.
    std::unique_ptr<ShaderProgram> build(const std::string& base, Output& output) {
        testing::internal::CaptureStdout();
        testing::internal::CaptureStderr();
        auto program = std::make_unique<ShaderProgram>(dir + "/" + base);
        output.out = testing::internal::GetCapturedStdout();
        output.err = testing::internal::GetCapturedStderr();
        return program;
    }

    std::string dir;
};

TEST_F(ShaderPrograms, AGoodPairLinksAndRelinkingKeepsTheName) {
    write("good.vert", goodVertex);
    write("good.frag", goodFragment);
    Output output;
    auto program = build("good", output);
    EXPECT_TRUE(program->valid);
    EXPECT_NE(program->vertexShader, 0u);
    EXPECT_NE(program->fragmentShader, 0u);
    ASSERT_NE(program->program, 0u);
    EXPECT_EQ(output.out, "");
    EXPECT_EQ(output.err, "");
    const uint32_t name = program->program;
    glBindFragDataLocation(name, 0, "vFragColor");
    program->link();
    EXPECT_EQ(program->program, name);
    EXPECT_EQ(glGetFragDataLocation(name, "vFragColor"), 0);
    EXPECT_GE(glGetAttribLocation(name, "vVertex"), 0);
}

TEST_F(ShaderPrograms, MissingFragmentFilePrintsOnlyItsLine) {
    write("fboshader.vert", goodVertex);
    Output output;
    auto program = build("fboshader", output);
    EXPECT_EQ(output.err, "Fragment shader file " + dir + "/fboshader.frag does not exist.\n");
    EXPECT_EQ(output.out, "");
    EXPECT_FALSE(program->valid);
    EXPECT_EQ(program->program, 0u);
    EXPECT_EQ(program->vertexShader, 0u);
}

TEST_F(ShaderPrograms, MissingVertexFileIsReportedBeforeTheFragmentFile) {
    write("onlyfrag.frag", goodFragment);
    Output output;
    auto program = build("onlyfrag", output);
    EXPECT_EQ(output.err, "Vertex shader file " + dir + "/onlyfrag.vert does not exist.\n");
    EXPECT_FALSE(program->valid);

    Output both;
    auto none = build("skyboxshader", both);  // neither file exists
    EXPECT_EQ(both.err, "Vertex shader file " + dir + "/skyboxshader.vert does not exist.\n");
    EXPECT_EQ(both.out, "");
    EXPECT_EQ(none->program, 0u);
}

TEST_F(ShaderPrograms, EmptyFragmentFileFailsToCompileAndThenToLink) {
    write("empty.vert", goodVertex);
    write("empty.frag", "");
    Output output;
    auto program = build("empty", output);
    EXPECT_EQ(output.err, "");
    const auto compile = output.out.find("Shader compilation failed.\n");
    const auto link = output.out.find("Shader linking failed.\n");
    ASSERT_NE(compile, std::string::npos) << output.out;
    ASSERT_NE(link, std::string::npos) << output.out;
    EXPECT_LT(compile, link);
    EXPECT_GT(link, compile + std::string("Shader compilation failed.\n").size());  // the driver's log between
    EXPECT_NE(program->fragmentShader, 0u);  // a failed shader keeps its name
    EXPECT_EQ(program->program, 0u);
    EXPECT_FALSE(program->valid);
}

TEST_F(ShaderPrograms, ShadersThatCompileButCannotLinkLeaveNoProgram) {
    // Each stage compiles on its own, but the fragment stage has no entry point.
    write("badlink.vert", goodVertex);
    write("badlink.frag",
          "#version 330 core\nout vec4 vFragColor;\n"
          "void shade() { vFragColor = vec4(1.0); }\n");
    Output output;
    auto program = build("badlink", output);
    EXPECT_EQ(output.out.find("Shader compilation failed."), std::string::npos) << output.out;
    EXPECT_EQ(output.out.rfind("Shader linking failed.\n", 0), 0u) << output.out;
    EXPECT_EQ(program->program, 0u);
    EXPECT_FALSE(program->valid);
    EXPECT_NE(program->vertexShader, 0u);
}

TEST_F(ShaderPrograms, FileHelpersReadTheWholeText) {
    write("text.vert", "line one\nline two\n");
    EXPECT_TRUE(ShaderProgram::fileExists(dir + "/text.vert"));
    EXPECT_FALSE(ShaderProgram::fileExists(dir + "/nope.vert"));
    EXPECT_EQ(ShaderProgram::readFile(dir + "/text.vert"), "line one\nline two\n");
}

TEST_F(ShaderPrograms, TheGamesOwnShadersBuildOnThisContext) {
    for (const char* name : {"blinnphongshader", "skyboxshader", "fboshader"}) {
        Output output;
        testing::internal::CaptureStdout();
        testing::internal::CaptureStderr();
        ShaderProgram program(std::string(OMNIVEX_BINARY_DIR) + "/shaders/" + name);
        output.out = testing::internal::GetCapturedStdout();
        output.err = testing::internal::GetCapturedStderr();
        EXPECT_TRUE(program.valid) << name << "\n" << output.out << output.err;
        EXPECT_EQ(output.out + output.err, "") << name;
    }
}

}  // namespace

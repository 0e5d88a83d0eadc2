// ShaderProgramTest.cpp -- building programs from file pairs, and every failure with its message and stream.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include <epoxy/gl.h>

#include "assets/ShaderProgram.h"
#include "support/Files.h"
#include "support/GlContext.h"

namespace {

const char* goodVertex =
    "#version 330 core\nin vec4 vVertex;\nuniform mat4 mvpMatrix;\n"
    "void main() { gl_Position = mvpMatrix * vVertex; }\n";
const char* goodFragment =
    "#version 330 core\nout vec4 vFragColor;\nuniform vec4 diffuseColor;\n"
    "void main() { vFragColor = diffuseColor; }\n";

struct Built {
    std::unique_ptr<ShaderProgram> program;
    std::string out, err;
};

// Builds the program at `base` (".vert" and ".frag" appended) and captures both streams.
Built build(const std::string& base) {
    Built built;
    built.out = omxtest::capturedStdout(
        [&] { built.err = omxtest::capturedStderr([&] { built.program = std::make_unique<ShaderProgram>(base); }); });
    return built;
}

class ShaderPrograms : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(omxtest::ensureGlContext()) << omxtest::glContextFailure();
        ASSERT_TRUE(dir.ok());
        while (glGetError() != GL_NO_ERROR) {
        }
    }
    // Writes the files that are given (nullptr: no such file) and builds the pair.
    Built buildPair(const std::string& base, const char* vertex, const char* fragment) {
        if (vertex) omxtest::writeFile(dir / (base + ".vert"), vertex);
        if (fragment) omxtest::writeFile(dir / (base + ".frag"), fragment);
        return build(dir / base);
    }
    omxtest::TempFolder dir{"shaders"};
};

TEST_F(ShaderPrograms, AGoodPairLinksAndRelinkingKeepsTheName) {
    const Built built = buildPair("good", goodVertex, goodFragment);
    ShaderProgram& program = *built.program;
    EXPECT_TRUE(program.valid);
    EXPECT_NE(program.vertexShader, 0u);
    EXPECT_NE(program.fragmentShader, 0u);
    ASSERT_NE(program.program, 0u);
    EXPECT_EQ(built.out + built.err, "");
    const uint32_t name = program.program;
    glBindFragDataLocation(name, 0, "vFragColor");
    program.link();
    EXPECT_EQ(program.program, name);
    EXPECT_EQ(glGetFragDataLocation(name, "vFragColor"), 0);
    EXPECT_GE(glGetAttribLocation(name, "vVertex"), 0);
}

TEST_F(ShaderPrograms, AMissingFileIsNamedOnStandardErrorTheVertexFileFirst) {
    struct Case {
        const char* base;
        const char* vertex;
        const char* fragment;
        std::string missing;
    };
    const Case cases[] = {{"fboshader", goodVertex, nullptr, "Fragment shader file %.frag"},
                          {"onlyfrag", nullptr, goodFragment, "Vertex shader file %.vert"},
                          {"skyboxshader", nullptr, nullptr, "Vertex shader file %.vert"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.base);
        const Built built = buildPair(c.base, c.vertex, c.fragment);
        std::string file = c.missing;
        file.replace(file.find('%'), 1, dir / c.base);
        EXPECT_EQ(built.err, file + " does not exist.\n");
        EXPECT_EQ(built.out, "");
        EXPECT_FALSE(built.program->valid);
        EXPECT_EQ(built.program->program, 0u);
        EXPECT_EQ(built.program->vertexShader, 0u);
    }
}

TEST_F(ShaderPrograms, EmptyFragmentFileFailsToCompileAndThenToLink) {
    const Built built = buildPair("empty", goodVertex, "");
    EXPECT_EQ(built.err, "");
    const auto compile = built.out.find("Shader compilation failed.\n");
    const auto link = built.out.find("Shader linking failed.\n");
    ASSERT_NE(compile, std::string::npos) << built.out;
    ASSERT_NE(link, std::string::npos) << built.out;
    EXPECT_GT(link, compile + std::string("Shader compilation failed.\n").size());  // the driver's log between
    EXPECT_NE(built.program->fragmentShader, 0u);  // a failed shader keeps its name
    EXPECT_EQ(built.program->program, 0u);
    EXPECT_FALSE(built.program->valid);
}

TEST_F(ShaderPrograms, ShadersThatCompileButCannotLinkLeaveNoProgram) {
    // Each stage compiles on its own, but the fragment stage has no entry point.
    const Built built = buildPair("badlink", goodVertex,
                                  "#version 330 core\nout vec4 vFragColor;\nvoid shade() { vFragColor = vec4(1.0); }\n");
    EXPECT_EQ(built.out.find("Shader compilation failed."), std::string::npos) << built.out;
    EXPECT_EQ(built.out.rfind("Shader linking failed.\n", 0), 0u) << built.out;
    EXPECT_EQ(built.program->program, 0u);
    EXPECT_FALSE(built.program->valid);
    EXPECT_NE(built.program->vertexShader, 0u);
}

TEST_F(ShaderPrograms, FileHelpersReadTheWholeTextAndTheGamesOwnShadersBuild) {
    omxtest::writeFile(dir / "text.vert", "line one\nline two\n");
    EXPECT_TRUE(ShaderProgram::fileExists(dir / "text.vert"));
    EXPECT_FALSE(ShaderProgram::fileExists(dir / "nope.vert"));
    EXPECT_EQ(ShaderProgram::readFile(dir / "text.vert"), "line one\nline two\n");
    for (const char* name : {"blinnphongshader", "skyboxshader", "fboshader"}) {
        const Built built = build(std::string(OMNIVEX_BINARY_DIR) + "/shaders/" + name);
        EXPECT_TRUE(built.program->valid) << name << "\n" << built.out << built.err;
        EXPECT_EQ(built.out + built.err, "") << name;
    }
}

}  // namespace

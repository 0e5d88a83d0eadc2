// ShaderProgramTest.cpp -- building programs from file pairs, and every failure with its message and stream.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include <epoxy/gl.h>

#include "assets/ShaderProgram.h"
#include "support/Files.h"
#include "support/GlContext.h"

namespace {

const char* const goodVertex = "#version 330 core\nin vec4 vVertex;\nvoid main() { gl_Position = vVertex; }\n";
const char* const goodFragment = "#version 330 core\nout vec4 vFragColor;\nvoid main() { vFragColor = vec4(1); }\n";

struct Built {
    std::unique_ptr<ShaderProgram> program;
    std::string out, err;
};

class ShaderPrograms : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(omxtest::ensureGlContext()) << omxtest::glContextFailure();
        ASSERT_TRUE(dir.ok());
        while (glGetError() != GL_NO_ERROR) {
        }
    }
    // Writes the files that are given (nullptr: no such file), builds the pair and captures both streams.
    Built buildPair(const std::string& base, const char* vertex, const char* fragment) {
        if (vertex) omxtest::writeFile(dir / (base + ".vert"), vertex);
        if (fragment) omxtest::writeFile(dir / (base + ".frag"), fragment);
        Built built;
        built.out = omxtest::capturedStdout([&] {
            built.err = omxtest::capturedStderr([&] { built.program = std::make_unique<ShaderProgram>(dir / base); });
        });
        return built;
    }
    omxtest::TempFolder dir{"shaders"};
};

TEST_F(ShaderPrograms, AGoodPairLinksSilently) {
    const Built built = buildPair("good", goodVertex, goodFragment);
    const ShaderProgram& program = *built.program;
    EXPECT_EQ(built.out + built.err, "");
    EXPECT_TRUE(program.valid && program.vertexShader && program.fragmentShader && program.program);
    EXPECT_GE(glGetAttribLocation(program.program, "vVertex"), 0);
}

TEST_F(ShaderPrograms, AMissingFileIsNamedOnStandardErrorTheVertexFileFirst) {
    for (const auto& [base, vertex, missing] : {std::tuple{"fboshader", goodVertex, "Fragment shader file %.frag"},
                                                {"skyboxshader", nullptr, "Vertex shader file %.vert"}}) {
        const Built built = buildPair(base, vertex, nullptr);
        std::string file = missing;
        file.replace(file.find('%'), 1, dir / base);
        EXPECT_EQ(built.out + built.err, file + " does not exist.\n");
        EXPECT_EQ(std::make_tuple(built.program->valid, built.program->program, built.program->vertexShader),
                  std::make_tuple(false, 0u, 0u));
    }
}

TEST_F(ShaderPrograms, EmptyFragmentFileFailsToCompileAndThenToLink) {
    const Built built = buildPair("empty", goodVertex, "");
    EXPECT_EQ(built.err, "");
    const std::string compile = "Shader compilation failed.\n";
    const auto link = built.out.find("Shader linking failed.\n");
    EXPECT_EQ(built.out.find(compile), 0u) << built.out;
    ASSERT_NE(link, std::string::npos) << built.out;
    EXPECT_GT(link, compile.size()) << "the driver's log between";
    EXPECT_NE(built.program->fragmentShader, 0u) << "a failed shader keeps its name";
    EXPECT_EQ(std::make_pair(built.program->valid, built.program->program), std::make_pair(false, 0u));
}

TEST_F(ShaderPrograms, ShadersThatCompileButCannotLinkLeaveNoProgram) {
    // Each stage compiles on its own, but the fragment stage has no entry point.
    const Built built = buildPair("badlink", goodVertex,
                                  "#version 330 core\nout vec4 vFragColor;\nvoid shade() { vFragColor = vec4(1); }\n");
    EXPECT_EQ(built.out.rfind("Shader linking failed.\n", 0), 0u) << built.out;
    EXPECT_EQ(built.out.find("Shader compilation failed."), std::string::npos) << built.out;
    EXPECT_EQ(std::make_pair(built.program->valid, built.program->program), std::make_pair(false, 0u));
}

}  // namespace

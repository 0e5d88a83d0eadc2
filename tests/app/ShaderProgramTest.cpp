// ShaderProgramTest.cpp -- building programs from file pairs, and every failure with its message and stream.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <regex>
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
    EXPECT_TRUE(program.valid);
    EXPECT_NE(program.vertexShader, 0u);
    EXPECT_NE(program.fragmentShader, 0u);
    EXPECT_NE(program.program, 0u);
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
    // A folder where the file should be is no shader file either.
    std::filesystem::create_directory(dir / "folder.frag");
    const Built folder = buildPair("folder", goodVertex, nullptr);
    EXPECT_EQ(folder.out + folder.err, "Fragment shader file " + dir / "folder" + ".frag does not exist.\n");
    EXPECT_FALSE(folder.program->valid);
}

// An empty fragment file fails to compile and then the pair to link, the driver's log between; the second pair
// compiles stage by stage, but its fragment stage has no entry point.
TEST_F(ShaderPrograms, ACompileOrLinkFailureIsReportedOnStandardOutputAndLeavesNoProgram) {
    const std::pair<const char*, const char*> cases[] = {
        {"", "^Shader compilation failed\\.\n[\\s\\S]+Shader linking failed\\.\n"},
        {"#version 330 core\nout vec4 vFragColor;\nvoid shade() { vFragColor = vec4(1); }\n",
         "^Shader linking failed\\.\n(?![\\s\\S]*Shader compilation failed)"},
    };
    for (const auto& [fragment, pattern] : cases) {
        const Built built = buildPair("broken", goodVertex, fragment);
        EXPECT_TRUE(std::regex_search(built.out, std::regex(pattern))) << built.out;
        EXPECT_EQ(std::make_tuple(built.err, built.program->valid, built.program->program,
                                  built.program->fragmentShader != 0u),  // a failed shader keeps its name
                  std::make_tuple(std::string(), false, 0u, true));
    }
}

}  // namespace

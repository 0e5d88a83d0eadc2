// AssetFiles.cpp -- TGA files, buffer read-back and the attribute program for the asset tests.
#include "AssetFiles.h"

#include <algorithm>

#include <epoxy/gl.h>

#include "support/Files.h"
#include "support/GlContext.h"

namespace assettest {

Bytes tgaFile(uint16_t width, uint16_t height, uint8_t depth, const Bytes& pixels, const Bytes& trailing) {
    Bytes file(18 + pixels.size() + trailing.size(), 0);
    file[2] = 2;
    file[12] = static_cast<unsigned char>(width & 0xff);
    file[13] = static_cast<unsigned char>(width >> 8);
    file[14] = static_cast<unsigned char>(height & 0xff);
    file[15] = static_cast<unsigned char>(height >> 8);
    file[16] = depth;
    std::copy(trailing.begin(), trailing.end(), std::copy(pixels.begin(), pixels.end(), file.begin() + 18));
    return file;
}

Bytes patternPixels(int width, int height, int bytesPerPixel) {
    Bytes pixels;
    for (int row = 0; row < height; ++row)
        for (int i = 0; i < width * bytesPerPixel; ++i) pixels.push_back(static_cast<unsigned char>(17 * row + 3 * i + 1));
    return pixels;
}

std::string patternTga(const std::string& name, uint16_t width, uint16_t height, uint8_t depth) {
    return omxtest::scratchFile(name, tgaFile(width, height, depth, patternPixels(width, height, depth / 8)));
}

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

Printed printed(const std::function<void()>& work) {
    Printed result;
    result.out = omxtest::capturedStdout([&] { result.err = omxtest::capturedStderr(work); });
    return result;
}

}  // namespace assettest

void AttributeProgramTest::SetUp() {
    ASSERT_TRUE(omxtest::ensureGlContext()) << omxtest::glContextFailure();
    omxtest::scratchFile("attributes.vert",
                         "#version 330 core\n"
                         "in vec4 vVertex;\nin vec3 vNormal;\nin vec2 vTexCoord;\nout vec4 shade;\n"
                         "void main() { shade = vec4(vNormal, vTexCoord.x + vTexCoord.y); gl_Position = vVertex; }\n");
    omxtest::scratchFile("attributes.frag",
                         "#version 330 core\nin vec4 shade;\nout vec4 color;\nvoid main() { color = shade; }\n");
    program = std::make_unique<ShaderProgram>(omxtest::scratchFolder() + "/attributes");
    ASSERT_TRUE(program->valid);
    while (glGetError() != GL_NO_ERROR) {
    }
}

void AttributeProgramTest::TearDown() { EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR)); }

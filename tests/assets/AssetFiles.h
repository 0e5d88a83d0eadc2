// AssetFiles.h -- what the asset tests make for themselves: TGA files, GL buffer read-back, and a fixture
// with a program that has the three vertex inputs and leaves no OpenGL error behind.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "assets/ShaderProgram.h"

namespace assettest {

using Bytes = std::vector<unsigned char>;

// An uncompressed true-colour TGA of the given size and depth: header, pixels, then any trailing bytes.
Bytes tgaFile(uint16_t width, uint16_t height, uint8_t depth, const Bytes& pixels, const Bytes& trailing = {});
// A byte pattern that differs from pixel to pixel and row to row, so row order and alignment show.
Bytes patternPixels(int width, int height, int bytesPerPixel);
// tgaFile of patternPixels written to the scratch folder; returns its path.
std::string patternTga(const std::string& name, uint16_t width, uint16_t height, uint8_t depth);

// GL_BUFFER_SIZE of an array buffer in bytes, and its whole data store as floats.
int bufferSize(uint32_t buffer);
std::vector<float> bufferFloats(uint32_t buffer);

// What `work` printed on standard output and standard error.
struct Printed {
    std::string out, err;
};
Printed printed(const std::function<void()>& work);

}  // namespace assettest

class AttributeProgramTest : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    std::unique_ptr<ShaderProgram> program;
};

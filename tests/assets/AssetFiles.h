// AssetFiles.h -- files the asset tests write for themselves: TGA images, OBJ models and a small shader pair.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace assettest {

// A fresh directory for this test process (created on first use, removed at exit).
const std::string& scratchDirectory();

// Writes bytes to scratchDirectory()/name and returns the full path.
std::string writeScratchFile(const std::string& name, const std::vector<unsigned char>& bytes);
std::string writeScratchFile(const std::string& name, const std::string& text);

// An 18-byte uncompressed true-colour header for the given size and depth.
std::vector<unsigned char> tgaHeader(uint16_t width, uint16_t height, uint8_t depth);

// Header followed by pixel bytes (and any extra bytes, such as a footer).
std::vector<unsigned char> tgaFile(uint16_t width, uint16_t height, uint8_t depth,
                                   const std::vector<unsigned char>& pixels,
                                   const std::vector<unsigned char>& trailing = {});

// A byte pattern that differs from pixel to pixel and row to row, so row order and alignment show.
std::vector<unsigned char> patternPixels(int width, int height, int bytesPerPixel);

// Path prefix of a vertex/fragment pair that uses vVertex, vNormal and vTexCoord (for ShaderProgram).
std::string attributeShaderPath();

}  // namespace assettest

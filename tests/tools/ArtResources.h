// ArtResources.h -- what the art tests read: the generated files, their TGA pixels and OBJ geometry.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include <glm/glm.hpp>

namespace arttest {

// <build>/resources/<relative>.
std::string resourcePath(const std::string& relative);

// Every OBJ file the game loads (relative to resources/models/) and every TGA file (relative to
// resources/textures/), sky-box faces included, as world construction names them.
const std::vector<std::string>& gameModelFiles();
const std::vector<std::string>& gameTextureFiles();
// The textures whose alpha channel the game uses (leaf and lightning masks, lightning colours).
const std::vector<std::string>& alphaTextureFiles();

// A picture read with the game's TGA reader. at() takes the column and the FILE row (0 = bottom of
// the picture, texture t = 0) and gives red, green, blue, alpha in 0..255 (alpha 255 for 24-bit files).
struct Picture {
    bool ok = false;
    int width = 0;
    int height = 0;
    int bytesPerPixel = 0;
    std::vector<unsigned char> pixels;
    std::array<int, 4> at(int x, int fileRow) const;
    double meanLuminance() const;
};
Picture loadPicture(const std::string& textureFile);

// Geometry as the game's OBJ import gives it (positions and normals per vertex, meshes in order).
struct MeshBox {
    glm::vec3 min{1e30f};
    glm::vec3 max{-1e30f};
    size_t vertexCount = 0;
    void add(const glm::vec3& p);
    glm::vec3 size() const { return max - min; }
    glm::vec3 centre() const { return (min + max) * 0.5f; }
};
struct ModelGeometry {
    bool ok = false;
    std::string reason;
    std::vector<std::vector<glm::vec3>> meshPositions;  // per mesh, three per triangle
    std::vector<std::vector<glm::vec3>> meshNormals;
    std::vector<std::vector<glm::vec2>> meshTexCoords;
    MeshBox box() const;
    MeshBox meshBox(size_t mesh) const;
    size_t triangleCount() const;
};
ModelGeometry loadGeometry(const std::string& modelFile);

}  // namespace arttest

// ArtResources.h -- what the art tests read: the generated files, their TGA pixels and OBJ geometry, loaded
// through the game's own readers.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include <glm/glm.hpp>

#include "assets/Model.h"
#include "assets/Texture.h"

namespace arttest {

// <build>/resources/<relative>.
inline std::string resourcePath(const std::string& relative) { return OMNIVEX_BINARY_DIR "/resources/" + relative; }

// Every OBJ file the game loads (relative to resources/models/) and every TGA file (relative to
// resources/textures/), sky-box faces included, as world construction names them.
inline const std::vector<std::string> gameModelFiles = {
    "holygrenade2.obj", "holygrenadeborder2.obj", "wall7.obj",           "badbobob3.obj",
    "goodbobob2.obj",   "MediumPolyTree2.obj",    "moai_duplicated.obj", "groundborder.obj"};
inline const std::vector<std::string> gameTextureFiles = {
    "ground/ground2halfglow.tga",    "ground/groundborderglow.tga",   "infopanel/infocontrols.tga",
    "infopanel/infowin.tga",         "infopanel/infolose.tga",        "peoplegood/goodbobob.tga",
    "peoplebad/badbobob2.tga",       "tree/leaf3.tga",                "tree/leafalpha.tga",
    "tree/bark.tga",                 "moai/moai.tga",                 "lightning/lightning5.tga",
    "lightning/lightningalpha5.tga", "lightning/lightning2.tga",      "lightning/lightningalpha2.tga",
    "projection/projection2.tga",    "projection/projection1.tga",    "stonewall/stonegood3.tga",
    "stonewall/stonebad3.tga",       "holygrenade/holygrenade2.tga",  "holygrenade/holygrenade3.tga",
    "skyboxgood/xpos.tga",           "skyboxgood/xneg.tga",           "skyboxgood/ypos.tga",
    "skyboxgood/yneg.tga",           "skyboxgood/zpos.tga",           "skyboxgood/zneg.tga"};
// The textures whose alpha channel the game uses (leaf and lightning masks, lightning colours).
inline const std::vector<std::string> alphaTextureFiles = {"tree/leafalpha.tga", "lightning/lightningalpha5.tga",
                                                           "lightning/lightningalpha2.tga", "lightning/lightning5.tga",
                                                           "lightning/lightning2.tga"};

// A picture read with the game's TGA reader. at() takes the column and the FILE row (0 = bottom of the picture,
// texture t = 0) and gives red, green, blue, alpha in 0..255 (alpha 255 for 24-bit files).
struct Picture {
    bool ok = false;
    int width = 0, height = 0, bytesPerPixel = 0;
    std::vector<unsigned char> pixels;
    std::array<int, 4> at(int x, int fileRow) const {
        const size_t i = (static_cast<size_t>(fileRow) * width + x) * bytesPerPixel;
        return {pixels[i + 2], pixels[i + 1], pixels[i], bytesPerPixel == 4 ? pixels[i + 3] : 255};
    }
    double meanLuminance() const {
        double sum = 0.0;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) sum += 0.2126 * at(x, y)[0] + 0.7152 * at(x, y)[1] + 0.0722 * at(x, y)[2];
        return sum / (static_cast<double>(width) * height * 255.0);
    }
};

inline Picture loadPicture(const std::string& textureFile) {
    TgaImage image = readTga(resourcePath("textures/" + textureFile));
    Picture picture{false, image.width, image.height, 0, std::move(image.pixels)};
    if (image.ok && image.width > 0 && image.height > 0)
        picture.bytesPerPixel =
            static_cast<int>(picture.pixels.size() / (static_cast<size_t>(image.width) * image.height));
    picture.ok = picture.bytesPerPixel == 3 || picture.bytesPerPixel == 4;
    return picture;
}

struct MeshBox {
    glm::vec3 min{1e30f}, max{-1e30f};
    size_t vertexCount = 0;
    void add(const glm::vec3& p) { min = glm::min(min, p), max = glm::max(max, p), ++vertexCount; }
    glm::vec3 size() const { return max - min; }
    glm::vec3 centre() const { return (min + max) * 0.5f; }
};

inline MeshBox boxOf(const std::vector<glm::vec3>& points) {
    MeshBox b;
    for (const glm::vec3& p : points) b.add(p);
    return b;
}

// Geometry as the game's OBJ import gives it: per mesh, in order, three vertices per triangle; `all` joins the meshes.
struct ModelGeometry {
    bool ok = false;
    std::string reason;
    std::vector<std::vector<glm::vec3>> meshPositions, meshNormals;
    std::vector<std::vector<glm::vec2>> meshTexCoords;
    std::vector<glm::vec3> all;
};

inline ModelGeometry loadGeometry(const std::string& modelFile) {
    ModelGeometry geometry;
    MeshArrays arrays;
    geometry.ok = importMeshArrays(resourcePath("models/" + modelFile), arrays, geometry.reason);
    size_t v = 0;
    for (const uint32_t count : arrays.meshVertexCounts) {
        auto& positions = geometry.meshPositions.emplace_back();
        auto& normals = geometry.meshNormals.emplace_back();
        auto& uvs = geometry.meshTexCoords.emplace_back();
        for (const size_t end = v + count; v < end; ++v) {
            positions.emplace_back(arrays.positions[4 * v], arrays.positions[4 * v + 1], arrays.positions[4 * v + 2]);
            geometry.all.push_back(positions.back());
            if (arrays.normals.size() >= 3 * (v + 1))
                normals.emplace_back(arrays.normals[3 * v], arrays.normals[3 * v + 1], arrays.normals[3 * v + 2]);
            if (arrays.texCoords.size() >= 2 * (v + 1))
                uvs.emplace_back(arrays.texCoords[2 * v], arrays.texCoords[2 * v + 1]);
        }
    }
    geometry.ok = geometry.ok && !geometry.meshPositions.empty();
    return geometry;
}

}  // namespace arttest

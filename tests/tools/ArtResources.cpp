// ArtResources.cpp -- loading the generated art through the game's own readers for the art tests.
#include "ArtResources.h"

#include "assets/Model.h"
#include "assets/Texture.h"

namespace arttest {

std::string resourcePath(const std::string& relative) { return std::string(OMNIVEX_BINARY_DIR) + "/resources/" + relative; }

const std::vector<std::string>& gameModelFiles() {
    static const std::vector<std::string> files = {"holygrenade2.obj", "holygrenadeborder2.obj", "wall7.obj",
                                                   "badbobob3.obj",    "goodbobob2.obj",         "MediumPolyTree2.obj",
                                                   "moai_duplicated.obj", "groundborder.obj"};
    return files;
}

const std::vector<std::string>& gameTextureFiles() {
    static const std::vector<std::string> files = {
        "ground/ground2halfglow.tga",     "ground/groundborderglow.tga",    "infopanel/infocontrols.tga",
        "infopanel/infowin.tga",          "infopanel/infolose.tga",         "peoplegood/goodbobob.tga",
        "peoplebad/badbobob2.tga",        "tree/leaf3.tga",                 "tree/leafalpha.tga",
        "tree/bark.tga",                  "moai/moai.tga",                  "lightning/lightning5.tga",
        "lightning/lightningalpha5.tga",  "lightning/lightning2.tga",       "lightning/lightningalpha2.tga",
        "projection/projection2.tga",     "projection/projection1.tga",     "stonewall/stonegood3.tga",
        "stonewall/stonebad3.tga",        "holygrenade/holygrenade2.tga",   "holygrenade/holygrenade3.tga",
        "skyboxgood/xpos.tga",            "skyboxgood/xneg.tga",            "skyboxgood/ypos.tga",
        "skyboxgood/yneg.tga",            "skyboxgood/zpos.tga",            "skyboxgood/zneg.tga"};
    return files;
}

const std::vector<std::string>& alphaTextureFiles() {
    static const std::vector<std::string> files = {"tree/leafalpha.tga", "lightning/lightningalpha5.tga",
                                                   "lightning/lightningalpha2.tga", "lightning/lightning5.tga",
                                                   "lightning/lightning2.tga"};
    return files;
}

std::array<int, 4> Picture::at(int x, int fileRow) const {
    const size_t i = (static_cast<size_t>(fileRow) * width + x) * bytesPerPixel;
    return {pixels[i + 2], pixels[i + 1], pixels[i], bytesPerPixel == 4 ? pixels[i + 3] : 255};
}

double Picture::meanLuminance() const {
    double sum = 0.0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const auto c = at(x, y);
            sum += 0.2126 * c[0] + 0.7152 * c[1] + 0.0722 * c[2];
        }
    return sum / (static_cast<double>(width) * height * 255.0);
}

Picture loadPicture(const std::string& textureFile) {
    const TgaImage image = readTga(resourcePath("textures/" + textureFile));
    Picture picture;
    picture.ok = image.ok && image.width > 0 && image.height > 0;
    picture.width = image.width;
    picture.height = image.height;
    picture.bytesPerPixel = picture.ok ? static_cast<int>(image.pixels.size() / (static_cast<size_t>(image.width) * image.height)) : 0;
    picture.pixels = image.pixels;
    picture.ok = picture.ok && (picture.bytesPerPixel == 3 || picture.bytesPerPixel == 4);
    return picture;
}

void MeshBox::add(const glm::vec3& p) {
    min = glm::min(min, p);
    max = glm::max(max, p);
    ++vertexCount;
}

MeshBox ModelGeometry::box() const {
    MeshBox b;
    for (const auto& mesh : meshPositions)
        for (const glm::vec3& p : mesh) b.add(p);
    return b;
}

MeshBox ModelGeometry::meshBox(size_t mesh) const {
    MeshBox b;
    for (const glm::vec3& p : meshPositions.at(mesh)) b.add(p);
    return b;
}

size_t ModelGeometry::triangleCount() const {
    size_t n = 0;
    for (const auto& mesh : meshPositions) n += mesh.size() / 3;
    return n;
}

ModelGeometry loadGeometry(const std::string& modelFile) {
    ModelGeometry geometry;
    MeshArrays arrays;
    geometry.ok = importMeshArrays(resourcePath("models/" + modelFile), arrays, geometry.reason);
    size_t first = 0;
    for (const uint32_t count : arrays.meshVertexCounts) {
        std::vector<glm::vec3> positions, normals;
        std::vector<glm::vec2> uvs;
        for (size_t v = first; v < first + count; ++v) {
            positions.emplace_back(arrays.positions[4 * v], arrays.positions[4 * v + 1], arrays.positions[4 * v + 2]);
            if (arrays.normals.size() >= 3 * (v + 1))
                normals.emplace_back(arrays.normals[3 * v], arrays.normals[3 * v + 1], arrays.normals[3 * v + 2]);
            if (arrays.texCoords.size() >= 2 * (v + 1)) uvs.emplace_back(arrays.texCoords[2 * v], arrays.texCoords[2 * v + 1]);
        }
        geometry.meshPositions.push_back(positions);
        geometry.meshNormals.push_back(normals);
        geometry.meshTexCoords.push_back(uvs);
        first += count;
    }
    geometry.ok = geometry.ok && !geometry.meshPositions.empty();
    return geometry;
}

}  // namespace arttest

// WorldConstants.cpp -- the constants, initialised in dependency order before main runs.
#include "game/WorldConstants.h"

#include <algorithm>
#include <cmath>

namespace {
// Held here and changed only by setDataFolder, before the world is built.
std::string baseFolder;
std::string textureFolder = "resources/textures/";
std::string modelFolder = "resources/models/";
std::string soundFolder = "resources/sounds/";
std::string shaderFolder = "shaders/";
}  // namespace

const std::string& basePath = baseFolder;
const std::string& texturePath = textureFolder;
const std::string& modelPath = modelFolder;
const std::string& soundPath = soundFolder;
const std::string& shaderPath = shaderFolder;

void setDataFolder(const std::string& folder) {
    baseFolder = folder;
    textureFolder = folder + "resources/textures/";
    modelFolder = folder + "resources/models/";
    soundFolder = folder + "resources/sounds/";
    shaderFolder = folder + "shaders/";
}

const float farDistance = static_cast<float>(std::sqrt(2.0) * std::max(worldSizeX, worldSizeZ));

namespace {

std::array<float, 144> makeSkyboxVertices() {
    // (float) extent divided in double by the single-precision 2.3, stored as float.
    const double divisor = static_cast<double>(2.3f);
    const float sx = static_cast<float>(static_cast<double>(static_cast<float>(worldSizeX)) / divisor);
    const float sz = static_cast<float>(static_cast<double>(static_cast<float>(worldSizeZ)) / divisor);
    const float nx = static_cast<float>(static_cast<float>(worldSizeX) * -1.0 / divisor);
    const float nz = static_cast<float>(static_cast<float>(worldSizeZ) * -1.0 / divisor);
    // Signs per vertex, faces +z, +x, -z, -x, +y, -y.
    static const int signs[36][3] = {
        {-1, 1, 1},  {-1, -1, 1},  {1, -1, 1},   {1, -1, 1},   {1, 1, 1},    {-1, 1, 1},
        {1, 1, 1},   {1, -1, 1},   {1, -1, -1},  {1, -1, -1},  {1, 1, -1},   {1, 1, 1},
        {1, 1, -1},  {1, -1, -1},  {-1, -1, -1}, {-1, -1, -1}, {-1, 1, -1},  {1, 1, -1},
        {-1, 1, -1}, {-1, -1, -1}, {-1, -1, 1},  {-1, -1, 1},  {-1, 1, 1},   {-1, 1, -1},
        {-1, 1, -1}, {-1, 1, 1},   {1, 1, 1},    {1, 1, 1},    {1, 1, -1},   {-1, 1, -1},
        {-1, -1, 1}, {-1, -1, -1}, {1, -1, 1},   {1, -1, 1},   {-1, -1, -1}, {1, -1, -1},
    };
    std::array<float, 144> v{};
    for (int i = 0; i < 36; ++i) {
        v[i * 4 + 0] = signs[i][0] > 0 ? sx : nx;
        v[i * 4 + 1] = signs[i][1] > 0 ? sx : nx;
        v[i * 4 + 2] = signs[i][2] > 0 ? sz : nz;
        v[i * 4 + 3] = 1.0f;
    }
    return v;
}

}  // namespace

const std::array<float, 144> skyboxVertices = makeSkyboxVertices();

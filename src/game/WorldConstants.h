// WorldConstants.h -- asset folders and the world's dimensions, all derived from one world size.
#pragma once

#include <array>
#include <string>

// Asset folders below the data folder, which is the working directory ("") unless setDataFolder chose another.
extern const std::string& basePath;     // "" : every asset path is relative to the working directory
extern const std::string& texturePath;  // "resources/textures/"
extern const std::string& modelPath;    // "resources/models/"
extern const std::string& soundPath;    // "resources/sounds/"
extern const std::string& shaderPath;   // "shaders/"

// Puts every asset folder below `folder` (ending in '/', or "" for the working directory). Called once,
// before the world is built.
void setDataFolder(const std::string& folder);

constexpr int worldSize = 10400;
constexpr int worldSizeX = worldSize;
constexpr int worldSizeZ = worldSize;
constexpr int settlementSpread = worldSize - 800;
// worldSizeZ / 3.0 computed in double, stored as float.
constexpr float cameraStartDistance = static_cast<float>(worldSizeZ / 3.0);

// Centre-to-border distance of the four glowing border pieces (3868.21).
constexpr float borderDistance = static_cast<float>((worldSizeZ / 2) - 1331.7901121281611);
// Far plane of the camera projection and of the culling frustum: sqrt(2) times the larger extent.
extern const float farDistance;
// The camera's vertical field of view.
constexpr float fieldOfViewDegrees = 60.0f;
// Light height in daylight (2600) and after the intro (1733, integer division).
constexpr float dayLightHeight = worldSizeZ * 0.25f;
constexpr int introLightHeight = worldSizeZ / 6;
// Divisor of the border pieces' height (integer division).
constexpr int borderHeightDivisor = worldSize / 2;

// 36 vertices (x, y, z, w) of the sky-box cube, two triangles per face.
extern const std::array<float, 144> skyboxVertices;

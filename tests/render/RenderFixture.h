// RenderFixture.h -- real GL for the render tests: the game's programs, a hand-built scene, pixel read-back, PNGs.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include <glm/glm.hpp>

#include "assets/ShaderProgram.h"
#include "game/Game.h"
#include "game/Settlement.h"
#include "support/RecordingSound.h"

namespace rendertest {

// The three programs built from the build folder's shaders, with "vFragColor" bound to colour 0.
struct Programs {
    std::unique_ptr<ShaderProgram> phong;
    std::unique_ptr<ShaderProgram> skybox;
    std::unique_ptr<ShaderProgram> id;
    bool valid() const { return phong && phong->valid && skybox && skybox->valid && id && id->valid; }
};
Programs loadPrograms();

// A colour image read back from a framebuffer, rows bottom to top, RGBA8.
struct Image {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgba;
    glm::vec3 at(int x, int y) const;  // 0..1
    // Mean colour of a rectangle, rows counted from the bottom.
    glm::vec3 mean(int x0, int y0, int x1, int y1) const;
};
Image readColor(uint32_t framebuffer, int width, int height);
// Writes the image (top row first) under the build folder; returns the path, empty on failure.
std::string savePng(const Image& image, const std::string& name);

// A small off-screen RGBA8 target with depth, for shader tests that must not touch the window.
struct ColorTarget {
    uint32_t framebuffer = 0, color = 0, depth = 0;
    int width = 0, height = 0;
    ColorTarget(int w, int h);
    ~ColorTarget();
    ColorTarget(const ColorTarget&) = delete;
    ColorTarget& operator=(const ColorTarget&) = delete;
};

// A 2 x 2 texture of one colour (bytes), with or without repetition.
uint32_t solidTexture(const std::array<unsigned char, 4>& rgba);
// A cube map with one colour per face (+x, -x, +y, -y, +z, -z), bound on unit 0.
uint32_t solidCubeMap(const std::array<std::array<unsigned char, 4>, 6>& faces);

// A cube of half-size 1: 36 vertices with positions (x, y, z, 1), normals and texture coordinates.
struct MeshData {
    std::vector<float> positions, normals, texCoords;
    int vertexCount() const { return static_cast<int>(positions.size() / 4); }
};
MeshData cubeMesh();

// A game without window assets (graphics off, its own sound recorder), dressed by buildScene.
struct Scene {
    omxtest::RecordingSound sound;
    std::unique_ptr<Game> game;
    Programs programs;
    glm::vec3 centre = glm::vec3(0.0f);  // settlement 0
};

// Builds a game and gives every model simple geometry: cubes for imported models (the tree with 16
// meshes, mesh 15 its trunk), the built-in quads and the pyramid, solid textures and a coloured sky.
// Settlement 0's tree, grenade and a new good and bad person stand at known places around its centre;
// the camera looks down on it from (0, 400, 300) above the centre. Returns false without GL.
bool buildScene(Scene& scene);
// The real world read from the build folder's resources (graphics on, fixed seed, silent sound), in the
// Playing state with the daylight up and a 1200 x 800 id target. Returns false without GL or assets.
bool buildRealWorld(Scene& scene, unsigned seed = 11);
// The mean vertex of an OBJ file under the model folder, in model space (the origin when unreadable).
glm::vec3 modelCentre(const std::string& objFile);
// A person born by hand at `at` in the settlement's good or bad list, as the settlement's births make them.
SceneObject& addPerson(Game& game, Settlement& settlement, int type, const glm::vec3& at);

// Points the camera from `position` along `direction`, rebuilding the view and the frustum.
void placeCamera(Game& game, const glm::vec3& position, const glm::vec3& direction);
// Window pixel (x from the left, y from the bottom) where a world point appears.
glm::ivec2 screenPoint(const Game& game, const glm::vec3& world);

}  // namespace rendertest

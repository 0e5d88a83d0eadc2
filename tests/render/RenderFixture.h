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
#include "render/Renderer.h"
#include "support/GameBuilders.h"
#include "support/Image.h"
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

using omxtest::Image;
// The window's picture as the last frame drew it.
Image windowImage(const Game& game);
// Mean colour (0..1) of a rectangle in window pixels counted from the bottom row, as screenPoint gives them.
glm::vec3 mean(const Image& image, int x0, int y0, int x1, int y1);
// The whole id target as it stands, one object number per pixel, rows bottom to top.
std::vector<int> readIdImage(const Renderer& renderer);
// Writes the image under the build folder; returns the path, empty on failure.
std::string savePng(const Image& image, const std::string& name);

// A 2 x 2 texture of one colour (bytes).
uint32_t solidTexture(const std::array<unsigned char, 4>& rgba);
// Gives an existing texture new contents: 2 x 2 pixels of one colour.
void fillTexture(uint32_t texture, const std::array<unsigned char, 4>& rgba);

// A game with its own silent sound recorder, the renderer that draws it, and the centre of its settlement 0.
struct Scene {
    omxtest::RecordingSound sound;
    std::unique_ptr<Renderer> renderer;
    std::unique_ptr<Game> game;
    glm::vec3 centre = glm::vec3(0.0f);
};

// The real world read from the build folder's resources (graphics on, fixed seed, silent sound), in the
// Playing state with the daylight up and a 1200 x 800 id target. Returns false without GL or assets.
bool buildRealWorld(Scene& scene, unsigned seed = 11);
// The mean vertex of an OBJ file under the model folder, in model space (the origin when unreadable).
glm::vec3 modelCentre(const std::string& objFile);

// Points the camera from `position` along `direction`, rebuilding its view.
void placeCamera(Game& game, const glm::vec3& position, const glm::vec3& direction);
// Window pixel (x from the left, y from the bottom) where a world point appears.
glm::ivec2 screenPoint(const Game& game, const glm::vec3& world);
// Window pixel of the mean vertex of the object's model file, placed by the object's model matrix.
glm::ivec2 centrePixel(const Game& game, const SceneObject& object, const std::string& objFile);
// Looks down on settlement 0 from above and in front of its centre.
void overlookHome(Scene& scene);

}  // namespace rendertest

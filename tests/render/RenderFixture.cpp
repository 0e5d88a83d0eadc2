// RenderFixture.cpp -- programs, scene building, read-back and PNG output shared by the render tests.
#include "RenderFixture.h"

#include <epoxy/gl.h>
#include <glm/gtc/matrix_transform.hpp>

#include "assets/FragmentOutput.h"
#include "assets/Model.h"
#include "game/Settlement.h"
#include "game/WorldConstants.h"
#include "math/Conventions.h"
#include "support/GameBuilders.h"
#include "support/GlContext.h"

namespace rendertest {

namespace {

std::unique_ptr<ShaderProgram> buildProgram(const char* name) {
    auto program = std::make_unique<ShaderProgram>(std::string(OMNIVEX_BINARY_DIR) + "/shaders/" + name);
    bindFragmentOutput(*program, "vFragColor");
    return program;
}

}  // namespace

Programs loadPrograms() {
    Programs programs;
    programs.phong = buildProgram("blinnphongshader");
    programs.skybox = buildProgram("skyboxshader");
    programs.id = buildProgram("fboshader");
    return programs;
}

Image windowImage(const Game& game) { return omxtest::readFramebuffer(0, game.windowWidth, game.windowHeight); }

glm::vec3 mean(const Image& image, int x0, int y0, int x1, int y1) {
    const std::array<double, 3> colour = image.meanColour(x0, image.height - y1, x1, image.height - y0);
    return glm::vec3(colour[0], colour[1], colour[2]) / 255.0f;
}

std::vector<int> readIdImage(const Renderer& renderer) {
    const Game& game = renderer.world();
    std::vector<int> ids(static_cast<std::size_t>(game.windowWidth) * static_cast<std::size_t>(game.windowHeight), -1);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, renderer.idTarget().framebuffer);
    glReadBuffer(GL_COLOR_ATTACHMENT0);
    glReadPixels(0, 0, game.windowWidth, game.windowHeight, GL_RED_INTEGER, GL_INT, ids.data());
    glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
    return ids;
}

std::string savePng(const Image& image, const std::string& name) {
    const std::string path = std::string(OMNIVEX_BINARY_DIR) + "/" + name;
    return image.save(path) ? path : std::string();
}

uint32_t solidTexture(const std::array<unsigned char, 4>& rgba) {
    GLuint name = 0;
    glGenTextures(1, &name);
    fillTexture(name, rgba);
    return name;
}

void fillTexture(uint32_t name, const std::array<unsigned char, 4>& rgba) {
    std::array<unsigned char, 16> pixels{};
    for (std::size_t i = 0; i < 16; ++i) pixels[i] = rgba[i % 4];
    glBindTexture(GL_TEXTURE_2D, name);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, 2, 2, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
}

bool buildRealWorld(Scene& scene, unsigned seed) {
    if (!omxtest::ensureGlContext()) return false;
    GameOptions options;
    options.sound = &scene.sound;
    options.seedFromClock = false;
    options.seed = seed;
    scene.renderer = std::make_unique<Renderer>();
    if (!scene.renderer->ready()) return false;
    scene.game = std::make_unique<Game>(options);
    Game& g = *scene.game;
    scene.renderer->loadWorld(g);
    if (scene.renderer->models().tree.meshCount == 0) return false;
    g.setView(scene.renderer.get());
    g.resize(1200, 800);
    g.state = GameState::Playing;
    g.light->position = glm::vec3(0.0f, dayLightHeight, 0.0f);
    scene.centre = g.settlements[0]->position;
    return true;
}

glm::vec3 modelCentre(const std::string& objFile) {
    MeshArrays arrays;
    std::string reason;
    if (!importMeshArrays(modelPath + objFile, arrays, reason) || arrays.vertexCount() == 0) return glm::vec3(0.0f);
    glm::dvec3 sum(0.0);
    for (int v = 0; v < arrays.vertexCount(); ++v)
        sum += glm::dvec3(arrays.positions[v * 4], arrays.positions[v * 4 + 1], arrays.positions[v * 4 + 2]);
    return glm::vec3(sum / static_cast<double>(arrays.vertexCount()));
}

void placeCamera(Game& game, const glm::vec3& position, const glm::vec3& direction) {
    const glm::vec3 d = glm::normalize(direction);
    game.camera->position = position;
    game.camera->direction = d;
    game.camera->viewMatrix = glm::lookAt(position, position + d, glm::vec3(0.0f, 1.0f, 0.0f));
}

glm::ivec2 centrePixel(const Game& game, const SceneObject& object, const std::string& objFile) {
    return screenPoint(game, glm::vec3(object.modelMatrix() * glm::vec4(modelCentre(objFile), 1.0f)));
}

void overlookHome(Scene& scene) {
    placeCamera(*scene.game, scene.centre + glm::vec3(0.0f, 700.0f, 450.0f), glm::vec3(0.0f, -700.0f, -450.0f));
}

glm::ivec2 screenPoint(const Game& game, const glm::vec3& world) {
    const glm::vec3 window =
        glm::project(world, game.camera->viewMatrix, game.projectionMatrix,
                     glm::vec4(0.0f, 0.0f, static_cast<float>(game.windowWidth), static_cast<float>(game.windowHeight)));
    return glm::ivec2(static_cast<int>(window.x), static_cast<int>(window.y));
}

}  // namespace rendertest

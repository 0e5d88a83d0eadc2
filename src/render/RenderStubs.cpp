// RenderStubs.cpp -- temporary bodies until rendering lands: clear the frame, keep the viewport.
#include <cstdio>

#include <epoxy/gl.h>

#include "assets/Model.h"
#include "game/Game.h"
#include "game/Settlement.h"

void Game::render() { glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT); }
void Game::resize(int width, int height) {
    if (width == 0 || height == 0) return;
    std::printf("fbo recreate\n");
    std::fflush(stdout);
    windowWidth = width;
    windowHeight = height;
    glViewport(0, 0, width, height);
}
void Game::useShader(ShaderProgram* program) { activeShader = program; }
void Game::setObjectUniforms(const SceneObject&, const Settlement*, const Model&) {}
void Game::updateFrustum(const glm::vec3&, const glm::vec3&, const glm::vec3&) {}
bool Game::isVisible(const SceneObject&) { return true; }
int Game::readObjectId(int, int) { return 0; }
void drawMeshes(const Model&, const char*, bool, int) {}
void Settlement::drawGrenade() {}
void Settlement::drawGoodPeople() {}
void Settlement::drawBadPeople() {}

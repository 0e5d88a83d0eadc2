// RenderStubs.cpp -- temporary bodies until rendering lands: clear the frame, keep the viewport.
#include <cstdio>

#include <epoxy/gl.h>

#include "game/Game.h"

void Game::render() { glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT); }
void Game::resize(int width, int height) {
    if (width == 0 || height == 0) return;
    std::printf("fbo recreate\n");
    std::fflush(stdout);
    windowWidth = width;
    windowHeight = height;
    glViewport(0, 0, width, height);
}

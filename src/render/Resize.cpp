// Resize.cpp -- a new window size: the viewport, the projection and an id target of the same size.
#include <iostream>

#include <epoxy/gl.h>

#include "game/Game.h"
#include "game/WorldConstants.h"
#include "math/Conventions.h"
#include "render/Render.h"

void Game::resize(int width, int height) {
    if (width == 0 || height == 0) return;
    std::cout << "fbo recreate" << std::endl;
    windowWidth = width;
    windowHeight = height;
    glViewport(0, 0, width, height);
    const float aspect = static_cast<float>(width) / static_cast<float>(height);
    projectionMatrix = omx::perspectiveDegrees(fieldOfViewDegrees, aspect, 1.0f, farDistance);

    // The new target is made before the old one is freed, so its names differ from the old ones.
    const uint32_t oldFramebuffer = idFramebuffer, oldTexture = idTexture, oldDepth = idDepthBuffer;
    idTargetComplete = createFramebuffer(idFramebuffer, width, height, idTexture, idDepthBuffer);
    idPass.drawn = false;  // nothing has been drawn into the new target yet
    deleteFramebuffer(oldFramebuffer, oldTexture, oldDepth);
}

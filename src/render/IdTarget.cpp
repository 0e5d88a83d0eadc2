// IdTarget.cpp -- the off-screen integer object-id target, drawing one pixel of it and reading one id back.
#include <iostream>

#include <epoxy/gl.h>

#include "game/Game.h"
#include "game/WorldConstants.h"
#include "math/Conventions.h"
#include "render/Render.h"

void deleteFramebuffer(uint32_t fbo, uint32_t texture, uint32_t depthBuffer) {
    if (fbo != 0) glDeleteFramebuffers(1, &fbo);
    if (texture != 0) glDeleteTextures(1, &texture);
    if (depthBuffer != 0) glDeleteRenderbuffers(1, &depthBuffer);
}

bool createFramebuffer(uint32_t& fbo, int width, int height, uint32_t& texture, uint32_t& depthBuffer) {
    glGenFramebuffers(1, &fbo);
    glBindFramebuffer(GL_FRAMEBUFFER, fbo);

    glGenRenderbuffers(1, &depthBuffer);
    glBindRenderbuffer(GL_RENDERBUFFER, depthBuffer);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT, width, height);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depthBuffer);

    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_R32I, width, height, 0, GL_RED_INTEGER, GL_INT, nullptr);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, texture, 0);

    const bool complete = glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
    if (!complete) std::cout << "fbo init faiiiled!!! you are dooomed!!" << std::endl;
    // Never leave the id target bound: the next colour pass must reach the window.
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    return complete;
}

void Game::drawIdPixel(int x, int y) {
    // The last frame's view and culling, so that the pixel holds what that frame's whole id image would
    // hold; the objects themselves have not moved since (the world moves after the hover read). Neither
    // the camera nor the culling counts of the frame change.
    const glm::mat4 view = camera->viewMatrix, projection = projectionMatrix;
    const std::array<Plane, 6> planes = frustumPlanes;
    const int drawn = drawnCount, culled = culledCount;
    camera->viewMatrix = idPass.viewMatrix;
    projectionMatrix = idPass.projectionMatrix;
    frustumPlanes = idPass.frustumPlanes;
    useShader(idShader);
    drawIdPass(x, y, x + 1, y + 1);
    camera->viewMatrix = view;
    projectionMatrix = projection;
    frustumPlanes = planes;
    drawnCount = drawn;
    culledCount = culled;
}

int Game::readObjectId(int x, int y) {
    if (!idTargetComplete || idFramebuffer == 0) return 0;
    if (x < 0 || y < 0 || x >= windowWidth || y >= windowHeight) return 0;
    if (!idPass.drawn) return 0;
    const glm::ivec4& covered = idPass.covered;
    if (x < covered.x || y < covered.y || x >= covered.z || y >= covered.w) drawIdPixel(x, y);
    GLint id = 0;
    glBindFramebuffer(GL_READ_FRAMEBUFFER, idFramebuffer);
    glReadBuffer(GL_COLOR_ATTACHMENT0);
    glReadPixels(x, y, 1, 1, GL_RED_INTEGER, GL_INT, &id);
    glReadBuffer(GL_NONE);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
    return id;
}

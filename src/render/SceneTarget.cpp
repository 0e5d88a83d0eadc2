// SceneTarget.cpp -- the render scale: the off-screen target the world is drawn into, the one it is
// sharpened into before a scale-up, and the controller that moves the scale with the frame times.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <iostream>

#include <epoxy/gl.h>

#include "game/Game.h"
#include "render/Render.h"
#include "render/RenderScale.h"

namespace {

double steadySeconds() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

}  // namespace

void Game::setRenderScale(bool automatic, float fixed) {
    lastFrameStart = -1.0;
    if (automatic) {
        renderScaleControl = std::make_unique<RenderScaleController>(1.0f);
        renderScale = renderScaleControl->scale();
    } else {
        renderScaleControl.reset();
        renderScale = std::isfinite(fixed) ? std::clamp(fixed, 0.5f, 1.0f) : 1.0f;
    }
}

void Game::adaptRenderScale() {
    if (!renderScaleControl) return;
    const double now = steadySeconds();
    const double frame = lastFrameStart < 0.0 ? 0.0 : now - lastFrameStart;
    lastFrameStart = now;
    if (!renderScaleControl->addFrame(frame)) return;
    renderScale = renderScaleControl->scale();
    std::cout << renderScaleLine(renderScale) << std::endl;
}

bool Game::bindSceneTarget(int width, int height) {
    if (sceneFramebuffer == 0 || width != sceneWidth || height != sceneHeight) {
        if (sceneFramebuffer != 0) glDeleteFramebuffers(1, &sceneFramebuffer);
        if (sceneColorTexture != 0) glDeleteTextures(1, &sceneColorTexture);
        if (sceneDepthBuffer != 0) glDeleteRenderbuffers(1, &sceneDepthBuffer);
        // The sharpened copy follows the scene target's size: made again when next needed.
        if (sharpenFramebuffer != 0) glDeleteFramebuffers(1, &sharpenFramebuffer);
        if (sharpenTexture != 0) glDeleteTextures(1, &sharpenTexture);
        sharpenFramebuffer = 0;
        sharpenTexture = 0;
        glGenFramebuffers(1, &sceneFramebuffer);
        glBindFramebuffer(GL_FRAMEBUFFER, sceneFramebuffer);
        // 8 bits a colour channel, stored blue first as the window's are (a software rasterizer then copies
        // and scales it on its fast path), and 24 bits of depth. The colour is a texture that the window's
        // quad reads; its filter is set there, by whether it is copied or scaled up.
        glGenTextures(1, &sceneColorTexture);
        glBindTexture(GL_TEXTURE_2D, sceneColorTexture);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, width, height, 0, GL_BGRA, GL_UNSIGNED_BYTE, nullptr);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
        glBindTexture(GL_TEXTURE_2D, 0);
        glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, sceneColorTexture, 0);
        glGenRenderbuffers(1, &sceneDepthBuffer);
        glBindRenderbuffer(GL_RENDERBUFFER, sceneDepthBuffer);
        glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH24_STENCIL8, width, height);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, GL_RENDERBUFFER, sceneDepthBuffer);
        glBindRenderbuffer(GL_RENDERBUFFER, 0);
        sceneWidth = width;
        sceneHeight = height;
        if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
            glBindFramebuffer(GL_FRAMEBUFFER, 0);
            glDeleteFramebuffers(1, &sceneFramebuffer);
            sceneFramebuffer = 0;
            return false;
        }
    }
    glBindFramebuffer(GL_FRAMEBUFFER, sceneFramebuffer);
    return true;
}

bool bindSharpenTarget(Game& g) {
    if (g.sharpenFramebuffer == 0) {
        glGenFramebuffers(1, &g.sharpenFramebuffer);
        glBindFramebuffer(GL_FRAMEBUFFER, g.sharpenFramebuffer);
        // Stored as the scene target is, and only ever scaled up: always filtered linearly.
        glGenTextures(1, &g.sharpenTexture);
        glBindTexture(GL_TEXTURE_2D, g.sharpenTexture);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, g.sceneWidth, g.sceneHeight, 0, GL_BGRA, GL_UNSIGNED_BYTE, nullptr);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        glBindTexture(GL_TEXTURE_2D, 0);
        glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, g.sharpenTexture, 0);
        if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
            // Kept, so that it is not tried again every frame: the world is then scaled up unsharpened.
            glBindFramebuffer(GL_FRAMEBUFFER, 0);
            glDeleteTextures(1, &g.sharpenTexture);
            g.sharpenTexture = 0;
            return false;
        }
    }
    if (g.sharpenTexture == 0) return false;
    glBindFramebuffer(GL_FRAMEBUFFER, g.sharpenFramebuffer);
    return true;
}

// SceneTarget.cpp -- the off-screen target the world is drawn into at the render scale, and putting it on the
// window.
#include <algorithm>
#include <limits>

#include <epoxy/gl.h>

#include "game/Game.h"
#include "render/RenderScale.h"
#include "render/Renderer.h"
#include "render/UniformCache.h"

bool Renderer::beginFrame() {
    frameCounts = FrameCounts{};
    if (!game) return false;
    adaptRenderScale();
    // The world goes into the scene target at the render scale, and onto the window at the end: the window has
    // no depth buffer of its own. A window larger than the driver's largest target gets a smaller one.
    if (scene.largestSide == 0) {
        GLint texture = 0, renderbuffer = 0;
        glGetIntegerv(GL_MAX_TEXTURE_SIZE, &texture);
        glGetIntegerv(GL_MAX_RENDERBUFFER_SIZE, &renderbuffer);
        scene.largestSide = std::min(texture, renderbuffer);
        if (scene.largestSide <= 0) scene.largestSide = std::numeric_limits<int>::max();  // not told: no limit
    }
    const SceneSize size = sceneSizeFor(game->windowWidth, game->windowHeight, scale, scene.largestSide);
    const bool offScreen = programsBuilt && bindSceneTarget(size.width, size.height);
    if (offScreen) glViewport(0, 0, size.width, size.height);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    // Without a scene target the world is not drawn: the window has no depth buffer to draw it with.
    if (!offScreen) return false;
    view = ViewVolume::of(game->camera->viewMatrix, game->projectionMatrix);
    return true;
}

bool Renderer::bindSceneTarget(int width, int height) {
    if (scene.framebuffer == 0 || width != scene.width || height != scene.height) {
        if (scene.framebuffer != 0) glDeleteFramebuffers(1, &scene.framebuffer);
        if (scene.colorTexture != 0) glDeleteTextures(1, &scene.colorTexture);
        if (scene.depthBuffer != 0) glDeleteRenderbuffers(1, &scene.depthBuffer);
        // The sharpened copy follows the scene target's size: made again when next needed.
        if (sharpenFramebuffer != 0) glDeleteFramebuffers(1, &sharpenFramebuffer);
        if (sharpenTexture != 0) glDeleteTextures(1, &sharpenTexture);
        sharpenFramebuffer = 0;
        sharpenTexture = 0;
        glGenFramebuffers(1, &scene.framebuffer);
        glBindFramebuffer(GL_FRAMEBUFFER, scene.framebuffer);
        // 8 bits a colour channel, stored blue first as the window's are (a software rasterizer then copies
        // and scales it on its fast path), and 24 bits of depth. The colour is a texture that the window's
        // quad reads; its filter is set there, by whether it is copied or scaled up.
        glGenTextures(1, &scene.colorTexture);
        glBindTexture(GL_TEXTURE_2D, scene.colorTexture);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, width, height, 0, GL_BGRA, GL_UNSIGNED_BYTE, nullptr);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
        glBindTexture(GL_TEXTURE_2D, 0);
        glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, scene.colorTexture, 0);
        glGenRenderbuffers(1, &scene.depthBuffer);
        glBindRenderbuffer(GL_RENDERBUFFER, scene.depthBuffer);
        glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH24_STENCIL8, width, height);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, GL_RENDERBUFFER, scene.depthBuffer);
        glBindRenderbuffer(GL_RENDERBUFFER, 0);
        scene.width = width;
        scene.height = height;
        if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
            glBindFramebuffer(GL_FRAMEBUFFER, 0);
            glDeleteFramebuffers(1, &scene.framebuffer);
            scene.framebuffer = 0;
            return false;
        }
    }
    glBindFramebuffer(GL_FRAMEBUFFER, scene.framebuffer);
    return true;
}

bool Renderer::bindSharpenTarget() {
    if (sharpenFramebuffer == 0) {
        glGenFramebuffers(1, &sharpenFramebuffer);
        glBindFramebuffer(GL_FRAMEBUFFER, sharpenFramebuffer);
        // Stored as the scene target is, and only ever scaled up: always filtered linearly.
        glGenTextures(1, &sharpenTexture);
        glBindTexture(GL_TEXTURE_2D, sharpenTexture);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, scene.width, scene.height, 0, GL_BGRA, GL_UNSIGNED_BYTE, nullptr);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        glBindTexture(GL_TEXTURE_2D, 0);
        glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, sharpenTexture, 0);
        if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
            // Kept, so that it is not tried again every frame: the world is then scaled up unsharpened.
            glBindFramebuffer(GL_FRAMEBUFFER, 0);
            glDeleteTextures(1, &sharpenTexture);
            sharpenTexture = 0;
            return false;
        }
    }
    if (sharpenTexture == 0) return false;
    glBindFramebuffer(GL_FRAMEBUFFER, sharpenFramebuffer);
    return true;
}

namespace {

// How much the world is sharpened before a scale-up (0 .. 1): the most, since a scale-up by up to two softens
// every edge over two window pixels.
constexpr float scaleUpSharpness = 1.0f;

}  // namespace

// Puts the world drawn in the scene target on the window: copied pixel for pixel at the window's size, scaled
// up with linear filtering below it. With the scale program, a quad over the window that reads it (less work
// for a software rasterizer than its blit), or else with a blit. Below the window's size the sharpening
// program first draws the world sharpened at its own size (a quarter of the window's pixels at 0.5), and the
// quad scales that up: the quad stays the plain copy a software rasterizer draws on its fast path, which the
// sharpening folded into it would leave (several times the cost).
void Renderer::presentScene() {
    constexpr int sceneUnit = 4;
    const int windowW = game->windowWidth, windowH = game->windowHeight;
    const bool exact = scene.width == windowW && scene.height == windowH;
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glViewport(0, 0, windowW, windowH);
    if (!worldPrograms.scale) {
        glBindFramebuffer(GL_READ_FRAMEBUFFER, scene.framebuffer);
        glBlitFramebuffer(0, 0, scene.width, scene.height, 0, 0, windowW, windowH, GL_COLOR_BUFFER_BIT,
                          exact ? GL_NEAREST : GL_LINEAR);
        glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
        return;
    }
    if (emptyVertexArray == 0) glGenVertexArrays(1, &emptyVertexArray);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glBindVertexArray(emptyVertexArray);
    const bool sharpen = !exact && settings.sharpen && worldPrograms.sharpen && bindSharpenTarget();
    glActiveTexture(GL_TEXTURE0 + sceneUnit);
    glBindTexture(GL_TEXTURE_2D, scene.colorTexture);
    // Nearest at the same size: each window pixel takes its own texel whole, whatever the filter's rounding.
    const GLint filter = exact ? GL_NEAREST : GL_LINEAR;
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, filter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filter);
    if (sharpen) {
        glViewport(0, 0, scene.width, scene.height);
        useProgram(worldPrograms.sharpen);
        glUniform1i(uniformLocation(worldPrograms.sharpen->program, Uniform::Scene), sceneUnit);
        glUniform1f(uniformLocation(worldPrograms.sharpen->program, Uniform::Sharpness), scaleUpSharpness);
        glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        glViewport(0, 0, windowW, windowH);
        glBindTexture(GL_TEXTURE_2D, sharpenTexture);
    }
    useProgram(worldPrograms.scale);
    glUniform1i(uniformLocation(worldPrograms.scale->program, Uniform::Scene), sceneUnit);
    glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
    glBindVertexArray(0);
    glBindTexture(GL_TEXTURE_2D, 0);
    glEnable(GL_DEPTH_TEST);
}

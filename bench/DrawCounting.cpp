// DrawCounting.cpp -- counting stand-ins for glDrawArrays, glBindVertexArray and glBindFramebuffer.
// libepoxy dispatches every GL call through a writable function pointer; the stand-ins are put in
// those pointers while counting and forward to the driver's functions.
#include "DrawCounting.h"

#include <epoxy/gl.h>

#include "FrameTiming.h"
#include "render/Renderer.h"

namespace {

using DrawArraysFn = void(EPOXY_CALLSPEC*)(GLenum, GLint, GLsizei);
using BindVertexArrayFn = void(EPOXY_CALLSPEC*)(GLuint);
using BindFramebufferFn = void(EPOXY_CALLSPEC*)(GLenum, GLuint);

DrawArraysFn realDrawArrays = nullptr;
BindVertexArrayFn realBindVertexArray = nullptr;
BindFramebufferFn realBindFramebuffer = nullptr;

FrameDraws counted;
Pass pass = Pass::Colour;
GLuint boundArray = 0;
GLuint skippedArray = 0;


void EPOXY_CALLSPEC countDrawArrays(GLenum mode, GLint first, GLsizei count) {
    if (skippedArray != 0 && boundArray == skippedArray) return;
    DrawTally& total = counted.passes[static_cast<int>(pass)];
    DrawTally& group = counted.byArray[{static_cast<int>(pass), boundArray}];
    const long triangles = mode == GL_TRIANGLES ? count / 3 : 0;
    total.draws += 1;
    total.triangles += triangles;
    group.draws += 1;
    group.triangles += triangles;
    realDrawArrays(mode, first, count);
}

void EPOXY_CALLSPEC countBindVertexArray(GLuint array) {
    boundArray = array;
    realBindVertexArray(array);
}

void EPOXY_CALLSPEC countBindFramebuffer(GLenum target, GLuint framebuffer) {
    if (target == GL_FRAMEBUFFER || target == GL_DRAW_FRAMEBUFFER)
        // The colour pass draws into the window or, below render scale 1, into the scene target.
        pass = benchRenderer && framebuffer != 0 && framebuffer == benchRenderer->idTarget().framebuffer ? Pass::ObjectId
                                                                                                      : Pass::Colour;
    realBindFramebuffer(target, framebuffer);
}

}  // namespace

// The frames drawn before counting have resolved the three pointers to the driver's functions (a
// pointer still holding libepoxy's resolving stub would call back into the stand-in).
void startDrawCounting(uint32_t skipArray) {
    counted = FrameDraws{};
    pass = Pass::Colour;
    GLint array = 0;
    glGetIntegerv(GL_VERTEX_ARRAY_BINDING, &array);
    boundArray = static_cast<GLuint>(array);
    skippedArray = skipArray;
    realDrawArrays = epoxy_glDrawArrays;
    realBindVertexArray = epoxy_glBindVertexArray;
    realBindFramebuffer = epoxy_glBindFramebuffer;
    epoxy_glDrawArrays = countDrawArrays;
    epoxy_glBindVertexArray = countBindVertexArray;
    epoxy_glBindFramebuffer = countBindFramebuffer;
}

FrameDraws stopDrawCounting() {
    epoxy_glDrawArrays = realDrawArrays;
    epoxy_glBindVertexArray = realBindVertexArray;
    epoxy_glBindFramebuffer = realBindFramebuffer;
    skippedArray = 0;
    return counted;
}

// GlDiagnostics.cpp -- the OpenGL version line and the per-frame error report.
#include "assets/GlDiagnostics.h"

#include <iostream>

#include <epoxy/gl.h>

void printGLInfo() {
    const GLubyte* version = glGetString(GL_VERSION);
    std::cout << "OpenGL Version: " << (version ? reinterpret_cast<const char*>(version) : "") << std::endl;
    GLint mask = 0;
    glGetIntegerv(GL_CONTEXT_PROFILE_MASK, &mask);
    if (mask == GL_CONTEXT_CORE_PROFILE_BIT)
        std::cout << "Having a core-profile" << std::endl;
    else
        std::cout << "Having a compatibility-profile" << std::endl;
    glGetError();
}

const char* glErrorMessage(unsigned code) {
    switch (code) {
        case GL_NO_ERROR: return "";
        case GL_INVALID_ENUM: return "GL: enum argument out of range.";
        case GL_INVALID_VALUE: return "GL: Numeric argument out of range.";
        case GL_INVALID_OPERATION: return "GL: Operation illegal in current state.";
        case GL_OUT_OF_MEMORY: return "GL: Not enough memory left to execute command.";
        case GL_INVALID_FRAMEBUFFER_OPERATION: return "GL: Framebuffer object is not complete.";
        default: return "GL: Unknown error.";
    }
}

unsigned checkGLError() {
    const GLenum code = glGetError();
    if (code != GL_NO_ERROR) std::cerr << glErrorMessage(code) << std::endl;
    return code;
}

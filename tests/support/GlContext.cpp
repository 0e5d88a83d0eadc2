// GlContext.cpp -- one hidden GLFW window per test process.
#include "support/GlContext.h"

#include <cstdio>

#include <epoxy/gl.h>
#include <GLFW/glfw3.h>

namespace omxtest {

bool ensureGlContext() {
    static GLFWwindow* window = nullptr;
    static bool tried = false;
    if (tried) return window != nullptr;
    tried = true;
    if (!glfwInit()) {
        std::fprintf(stderr, "test: glfwInit failed (is DISPLAY set? run under xvfb-run)\n");
        return false;
    }
    glfwWindowHint(GLFW_CONTEXT_VERSION_MAJOR, 3);
    glfwWindowHint(GLFW_CONTEXT_VERSION_MINOR, 3);
    glfwWindowHint(GLFW_OPENGL_PROFILE, GLFW_OPENGL_CORE_PROFILE);
    glfwWindowHint(GLFW_OPENGL_FORWARD_COMPAT, GLFW_TRUE);
    glfwWindowHint(GLFW_DEPTH_BITS, 24);
    glfwWindowHint(GLFW_STENCIL_BITS, 8);
    glfwWindowHint(GLFW_VISIBLE, GLFW_FALSE);
    window = glfwCreateWindow(1200, 800, "omnivex-test", nullptr, nullptr);
    if (!window) {
        std::fprintf(stderr, "test: could not create a 3.3 core window\n");
        return false;
    }
    glfwMakeContextCurrent(window);
    while (glGetError() != GL_NO_ERROR) {
    }
    return true;
}

}  // namespace omxtest

// GlContext.cpp -- one hidden GLFW window per test process.
#include "support/GlContext.h"

#include <cstdio>
#include <string>

#include <epoxy/gl.h>
#include <GLFW/glfw3.h>

#include "support/Wait.h"

namespace omxtest {
namespace {

std::string lastGlfwError;
std::string failure;

void rememberGlfwError(int code, const char* description) {
    lastGlfwError = std::to_string(code) + " " + (description ? description : "");
}

// Connects to the X server. Test processes come and go on one shared server, and a connection has been
// seen to fail now and then (twice in one run of the suite, none in others): each failure is reported with
// GLFW's reason and tried again until a second has passed. A missing display fails every attempt.
bool initGlfw() {
    glfwSetErrorCallback(rememberGlfwError);
    int attempt = 0;
    return waitUntil(
        [&] {
            if (glfwInit()) return true;
            std::fprintf(stderr, "test: glfwInit failed (attempt %d: %s; is DISPLAY set? run under xvfb-run)\n",
                         ++attempt, lastGlfwError.c_str());
            return false;
        },
        1.0, 0.3);
}

}  // namespace

bool ensureGlContext() {
    static GLFWwindow* window = nullptr;
    static bool tried = false;
    if (tried) return window != nullptr;
    tried = true;
    if (!initGlfw()) {
        failure = "no OpenGL context: glfwInit failed (" + lastGlfwError + "); run the GL tests under xvfb-run";
        return false;
    }
    glfwWindowHint(GLFW_CONTEXT_VERSION_MAJOR, 3);
    glfwWindowHint(GLFW_CONTEXT_VERSION_MINOR, 3);
    glfwWindowHint(GLFW_OPENGL_PROFILE, GLFW_OPENGL_CORE_PROFILE);
    glfwWindowHint(GLFW_OPENGL_FORWARD_COMPAT, GLFW_TRUE);
    // Colour only, as the game's window is.
    glfwWindowHint(GLFW_DEPTH_BITS, 0);
    glfwWindowHint(GLFW_STENCIL_BITS, 0);
    glfwWindowHint(GLFW_VISIBLE, GLFW_FALSE);
    window = glfwCreateWindow(1200, 800, "omnivex-test", nullptr, nullptr);
    if (!window) {
        failure = "no OpenGL 3.3 core context: " + lastGlfwError;
        return false;
    }
    glfwMakeContextCurrent(window);
    while (glGetError() != GL_NO_ERROR) {
    }
    return true;
}

const std::string& glContextFailure() { return failure; }

}  // namespace omxtest

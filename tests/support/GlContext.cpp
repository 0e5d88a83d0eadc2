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
// seen to fail now and then (twice in one run of the suite, none in others): it is tried again until a second
// has passed, and failures are reported with GLFW's reason. A missing display fails every attempt.
bool initGlfw() {
    glfwSetErrorCallback(rememberGlfwError);
    int attempts = 0;
    const auto connect = [&] {
        ++attempts;
        return glfwInit() == GLFW_TRUE;
    };
    const bool connected = waitUntil(connect, 1.0, 0.3);
    const int failures = connected ? attempts - 1 : attempts;
    if (failures > 0)
        std::fprintf(stderr, "test: glfwInit failed %d time(s) (%s; is DISPLAY set? run under xvfb-run)%s\n",
                     failures, lastGlfwError.c_str(), connected ? ", then connected" : "");
    return connected;
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

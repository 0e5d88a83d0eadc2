// Platform.cpp -- GLFW 3 underneath the game's window behaviours.
#include "app/Platform.h"

#include <cmath>
#include <cstdlib>
#include <string>

#include <GLFW/glfw3.h>

static_assert(MouseButton::Left == GLFW_MOUSE_BUTTON_LEFT && MouseButton::Right == GLFW_MOUSE_BUTTON_RIGHT,
              "mouse button codes");
static_assert(Key::F1 == GLFW_KEY_F1 && Key::F11 == GLFW_KEY_F11, "function key codes");
static_assert(Key::Escape == GLFW_KEY_ESCAPE && Key::Space == GLFW_KEY_SPACE, "key codes");
static_assert(Key::Left == GLFW_KEY_LEFT && Key::Right == GLFW_KEY_RIGHT && Key::Up == GLFW_KEY_UP &&
                  Key::Down == GLFW_KEY_DOWN, "arrow key codes");
static_assert(Key::KeypadAdd == GLFW_KEY_KP_ADD && Key::KeypadSubtract == GLFW_KEY_KP_SUBTRACT &&
                  Key::Keypad0 == GLFW_KEY_KP_0, "keypad key codes");
static_assert(Key::LeftControl == GLFW_KEY_LEFT_CONTROL && Key::RightControl == GLFW_KEY_RIGHT_CONTROL,
              "control key codes");
static_assert(windowError::apiUnavailable == GLFW_API_UNAVAILABLE &&
                  windowError::versionUnavailable == GLFW_VERSION_UNAVAILABLE, "window error codes");
static_assert(Key::A == GLFW_KEY_A && Key::W == GLFW_KEY_W && Key::F == GLFW_KEY_F && Key::P == GLFW_KEY_P &&
                  Key::H == GLFW_KEY_H, "letter key codes");
static_assert(Key::Num1 == GLFW_KEY_1 && Key::Num2 == GLFW_KEY_2 && Key::Num3 == GLFW_KEY_3 && Key::Num4 == GLFW_KEY_4 &&
                  Key::Num5 == GLFW_KEY_5, "digit key codes");

namespace platform {
namespace {

struct State {
    bool initialised = false;
    GLFWwindow* window = nullptr;
    double wheel = 0.0;
    SizeCallback size = nullptr;
    KeyCallback key = nullptr;
    MouseButtonCallback mouseButton = nullptr;
    FocusCallback focus = nullptr;
    bool focusReported = true;  // the focus as last told to the callback
    int focusArrived = -1;      // the latest focus event of this batch of events (-1: none)
};
State state;

// The window system's latest error, kept for the line that says why the window could not be opened.
struct LastError {
    int code = 0;
    std::string description;
};
LastError lastError;

void onError(int code, const char* description) {
    lastError.code = code;
    lastError.description = description ? description : "";
}

void onFramebufferSize(GLFWwindow*, int width, int height) {
    if (state.size) state.size(width, height);
}

void onKey(GLFWwindow*, int key, int, int action, int) {
    if (action == GLFW_REPEAT) return;
    if (state.key) state.key(key, action == GLFW_PRESS ? Press : Release);
}

void onMouseButton(GLFWwindow*, int button, int action, int) {
    if (state.mouseButton) state.mouseButton(button, action == GLFW_PRESS ? Press : Release);
}

void onScroll(GLFWwindow*, double, double yoffset) { state.wheel += yoffset; }

void onFocus(GLFWwindow*, int focused) { state.focusArrived = focused == GLFW_TRUE ? 1 : 0; }

// Only the focus a batch of events leaves behind counts: X hands a new window a loss and a gain at once
// (from the pointer's focus to the window's own), which is no loss.
void reportFocus() {
    if (state.focusArrived < 0) return;
    const bool focused = state.focusArrived == 1;
    state.focusArrived = -1;
    if (focused == state.focusReported) return;
    state.focusReported = focused;
    if (state.focus) state.focus(focused);
}

}  // namespace

bool init() {
    glfwSetErrorCallback(onError);
    state.initialised = glfwInit() == GLFW_TRUE;
    return state.initialised;
}

void terminate() {
    glfwTerminate();
    state = State{};
}

void desktopSize(int& width, int& height) {
    width = height = 0;
    GLFWmonitor* monitor = state.initialised ? glfwGetPrimaryMonitor() : nullptr;
    const GLFWvidmode* mode = monitor ? glfwGetVideoMode(monitor) : nullptr;
    if (mode) {
        width = mode->width;
        height = mode->height;
    }
}

bool openWindow(int width, int height, bool fullscreen) {
    if (!state.initialised || width <= 0 || height <= 0) return false;
    glfwWindowHint(GLFW_CONTEXT_VERSION_MAJOR, 3);
    glfwWindowHint(GLFW_CONTEXT_VERSION_MINOR, 3);
    glfwWindowHint(GLFW_OPENGL_PROFILE, GLFW_OPENGL_CORE_PROFILE);
    // Colour only: the world is drawn off-screen with a depth buffer of its own and then copied here, so
    // the window needs none, and a software rasterizer copies into a colour-only window on its fast path.
    glfwWindowHint(GLFW_DEPTH_BITS, 0);
    glfwWindowHint(GLFW_STENCIL_BITS, 0);
    GLFWmonitor* monitor = fullscreen ? glfwGetPrimaryMonitor() : nullptr;
    state.window = glfwCreateWindow(width, height, "", monitor, nullptr);
    if (!state.window) return false;
    glfwMakeContextCurrent(state.window);
    glfwSetInputMode(state.window, GLFW_STICKY_KEYS, GLFW_TRUE);
    glfwSetInputMode(state.window, GLFW_CURSOR, GLFW_CURSOR_NORMAL);
    glfwSetScrollCallback(state.window, onScroll);
    return true;
}

GLFWwindow* window() { return state.window; }

WindowFailure windowFailure() {
    WindowFailure failure;
    failure.platformStarted = state.initialised;
    const char* const display = std::getenv("DISPLAY");
    failure.display = display ? display : "";
    failure.error = lastError.code;
    failure.description = lastError.description;
    if (!state.initialised) return failure;
    glfwDefaultWindowHints();
    glfwWindowHint(GLFW_VISIBLE, GLFW_FALSE);
    if (GLFWwindow* const probe = glfwCreateWindow(64, 64, "", nullptr, nullptr)) {
        failure.offeredMajor = glfwGetWindowAttrib(probe, GLFW_CONTEXT_VERSION_MAJOR);
        failure.offeredMinor = glfwGetWindowAttrib(probe, GLFW_CONTEXT_VERSION_MINOR);
        glfwDestroyWindow(probe);
    }
    return failure;
}

void glVersion(int& major, int& minor) {
    major = state.window ? glfwGetWindowAttrib(state.window, GLFW_CONTEXT_VERSION_MAJOR) : 0;
    minor = state.window ? glfwGetWindowAttrib(state.window, GLFW_CONTEXT_VERSION_MINOR) : 0;
}

void setTitle(const char* title) {
    if (state.window) glfwSetWindowTitle(state.window, title);
}

void setWindowIcon(const std::vector<IconImage>& icons) {
    if (!state.window || icons.empty()) return;
    std::vector<GLFWimage> images;
    for (const IconImage& icon : icons)
        images.push_back(GLFWimage{icon.size, icon.size, const_cast<unsigned char*>(icon.rgba.data())});
    glfwSetWindowIcon(state.window, static_cast<int>(images.size()), images.data());
}

void setWindowSizeCallback(SizeCallback callback) {
    state.size = callback;
    if (!state.window) return;
    glfwSetFramebufferSizeCallback(state.window, onFramebufferSize);
    int width = 0, height = 0;
    glfwGetFramebufferSize(state.window, &width, &height);
    if (callback) callback(width, height);
}

void setKeyCallback(KeyCallback callback) {
    state.key = callback;
    if (state.window) glfwSetKeyCallback(state.window, onKey);
}

void setMouseButtonCallback(MouseButtonCallback callback) {
    state.mouseButton = callback;
    if (state.window) glfwSetMouseButtonCallback(state.window, onMouseButton);
}

void setFocusCallback(FocusCallback callback) {
    state.focus = callback;
    if (!state.window) return;
    state.focusReported = glfwGetWindowAttrib(state.window, GLFW_FOCUSED) == GLFW_TRUE;
    glfwSetWindowFocusCallback(state.window, onFocus);
}

void setSwapInterval(int interval) { glfwSwapInterval(interval); }

double time() { return state.initialised ? glfwGetTime() : 0.0; }

void swapBuffers() {
    if (!state.window) return;
    glfwSwapBuffers(state.window);
    glfwPollEvents();
    reportFocus();
}

bool keyDown(int key) { return state.window && glfwGetKey(state.window, key) == GLFW_PRESS; }

int wheelPosition() { return static_cast<int>(std::lround(state.wheel)); }

MousePosition cursor() {
    MousePosition position;
    if (!state.window) return position;
    double x = 0.0, y = 0.0;
    glfwGetCursorPos(state.window, &x, &y);
    int windowWidth = 0, windowHeight = 0, framebufferWidth = 0, framebufferHeight = 0;
    glfwGetWindowSize(state.window, &windowWidth, &windowHeight);
    glfwGetFramebufferSize(state.window, &framebufferWidth, &framebufferHeight);
    if (windowWidth > 0 && windowHeight > 0) {
        x *= static_cast<double>(framebufferWidth) / windowWidth;
        y *= static_cast<double>(framebufferHeight) / windowHeight;
    }
    position.x = static_cast<int>(std::floor(x));
    position.y = static_cast<int>(std::floor(y));
    return position;
}

bool windowOpen() { return state.window && !glfwWindowShouldClose(state.window); }

}  // namespace platform

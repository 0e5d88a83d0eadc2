// Platform.h -- the window system as the game expects it: events handled at each buffer swap, sticky
// keys, the wheel as an absolute notch count, a size callback that runs once on registration, and all
// sizes and cursor positions in framebuffer pixels.
#pragma once

#include <vector>

#include "app/WindowFailure.h"
#include "app/WindowIcon.h"
#include "game/Input.h"

struct GLFWwindow;

namespace platform {

using SizeCallback = void (*)(int width, int height);
using KeyCallback = void (*)(int key, int action);
using MouseButtonCallback = void (*)(int button, int action);
using FocusCallback = void (*)(bool focused);

constexpr int Release = 0;
constexpr int Press = 1;

bool init();
void terminate();
// The primary monitor's size in screen coordinates (0 x 0 when unknown).
void desktopSize(int& width, int& height);
// Opens the window with an OpenGL 3.3 core context and a colour buffer only (no depth or stencil bits),
// and makes it current.
bool openWindow(int width, int height, bool fullscreen);
GLFWwindow* window();
// After init or openWindow failed: the window system's reason, and the OpenGL version it offers when asked for
// no particular one (found by opening and closing a hidden window).
WindowFailure windowFailure();
// The context's version, as the window system reports it.
void glVersion(int& major, int& minor);
void setTitle(const char* title);
// Hands the window system the icon at every size given (none: the window keeps no icon).
void setWindowIcon(const std::vector<IconImage>& icons);
// Registers the callback and calls it at once with the current framebuffer size.
void setWindowSizeCallback(SizeCallback callback);
// Only presses and releases reach the key callback; key repeat is not delivered.
void setKeyCallback(KeyCallback callback);
void setMouseButtonCallback(MouseButtonCallback callback);
// Called after the events of a buffer swap when they left the window with (true) or without (false) the
// keyboard focus, and that differs from what was last reported.
void setFocusCallback(FocusCallback callback);
void setSwapInterval(int interval);
double time();
// Presents the frame and handles pending window events (the callbacks run here).
void swapBuffers();
// Sticky: true when held now or pressed since the last query of this key.
bool keyDown(int key);
int wheelPosition();
MousePosition cursor();
// False once the window was asked to close (or was never opened).
bool windowOpen();

// The game's view of this input.
class WindowInput : public Input {
public:
    bool keyDown(int key) override { return windowOpen() && platform::keyDown(key); }
    int wheelPosition() override { return windowOpen() ? platform::wheelPosition() : 0; }
    MousePosition cursor() override { return platform::cursor(); }
};

}  // namespace platform

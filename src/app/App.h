// App.h -- the program's start-up, frame loop and window callbacks.
#pragma once

#include <iosfwd>

#include "app/Options.h"
#include "game/Input.h"
#include "render/Renderer.h"

class Game;

// True for OpenGL 3.3 or later; otherwise prints the three version lines to `err`.
bool acceptGLVersion(int major, int minor, std::ostream& err);

// The game time of one frame: its real time, capped at a quarter of a second so that a stall (the window
// dragged, the machine busy, a debugger) pauses the world instead of fast-forwarding it, times the time scale.
float frameGameTime(double realFrameTime, float timeScale);

// The once-a-second statistics of the frame loop.
struct FrameStatistics {
    double fpsAccumulator = 0.0;
    int frameCount = 0;
    // Adds one frame's unscaled time; after more than a second prints the "Fps: " and
    // "Drawn Objects: " lines as switched on, then starts a new period.
    void addFrame(double frameTime, bool showFps, bool frustumCulling, int drawnCount, int culledCount,
                  std::ostream& out);
};

// The switches for looking inside, owned by the shell: F2 prints the frame rate, F4 and F5 change the texture
// filtering, and F3, F8 and F9 change how the renderer draws (handed to it at every frame).
struct DebugSwitches {
    bool showFps = false;
    bool trilinear = true;
    bool mipmapping = true;
    RenderSettings render;
};
extern DebugSwitches debugSwitches;

// What the player switches on the screen: the status display over the world (H), shown from the start.
struct PlayerSwitches {
    bool statusDisplay = true;
};
extern PlayerSwitches playerSwitches;

// The one game of the process, read by the window callbacks and the frame loop.
extern Game* game;

// Window callbacks (key codes and actions as the platform layer delivers them); they act on `game`.
void keyCallback(int key, int action);
void mouseButtonCallback(int button, int action);
void windowSizeCallback(int width, int height);
void focusCallback(bool focused);
// A mouse press with the cursor at `cursor` (framebuffer pixels, y down): on a settlement's mark of the shown
// status display the camera flies to that settlement; anywhere else the world below takes the click, unless
// the game is paused.
void clickAt(int button, const MousePosition& cursor);
// Pauses or resumes the game and says so in the window title.
void setGamePaused(bool paused);

// The whole program: returns the process exit status.
int runGame(int argc, const char* const* argv);

// RenderScale.h -- the share of the window's width and height at which the 3D world is drawn: fixed, or
// adapted to the measured frame times to hold 60 frames a second.
#pragma once

#include <string>
#include <vector>

// How the scale is chosen. Unless the command line says, the driver decides (see chooseRenderScale).
struct RenderScaleSetting {
    bool given = false;      // --render-scale was on the command line
    bool automatic = false;  // "auto"
    float fixed = 1.0f;      // 0.5 .. 1
};

// The value of --render-scale: "auto", or a number from 0.5 to 1 (nothing after it). False for anything else.
bool parseRenderScale(const std::string& text, RenderScaleSetting& setting);

// The setting for a renderer when the command line gave none: automatic on Mesa's software rasterizers,
// 1.0 on every other driver.
RenderScaleSetting chooseRenderScale(const RenderScaleSetting& commandLine, const std::string& renderer);

// Adapts the scale to the frame times, in steps of 0.05 between 0.5 and 1: once per second of frames it
// looks at that second's median frame time. Slower than 1/60 s by more than a few percent, it goes down
// at once to the scale that the pixel count predicts for the target (at most 0.15 per second); with much
// room to spare for three seconds in a row, it goes up one step, and only when the prediction for the
// step stays well under the target. After a change one second is left out, to measure the new scale.
// So the scale changes at most once a second, and a frame time near the target changes nothing.
class RenderScaleController {
public:
    static constexpr int lowestSteps = 10;   // 0.5
    static constexpr int highestSteps = 20;  // 1.0
    static constexpr double targetSeconds = 1.0 / 60.0;

    explicit RenderScaleController(float start = 1.0f);
    // Adds one frame's time in seconds; true when the scale changed with it.
    bool addFrame(double seconds);
    float scale() const { return static_cast<float>(steps) * 0.05f; }

private:
    int steps;  // twentieths
    std::vector<double> frames;
    double framesSeconds = 0.0;
    int settling = 0;
    int roomyWindows = 0;
};

// "Render scale: 0.75"
std::string renderScaleLine(float scale);

// The size the world is drawn at for a window at a render scale. It stays within `largest`, the driver's
// largest texture and renderbuffer side (0: no limit): a window wider or taller than that is drawn smaller,
// in its own proportions, and scaled up to the window like any scale below 1.
struct SceneSize {
    int width = 1;
    int height = 1;
};
SceneSize sceneSizeFor(int windowWidth, int windowHeight, float scale, int largest);

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

// Adapts the scale to the frame times, in steps of 0.05 between 0.5 and 1, with hysteresis so that a
// load that comes and goes does not pump it. Once per second of frames it looks at that second's median
// frame time:
// - Slower than 1/60 s by more than 8 %, it goes down to the scale that the pixel count predicts for 92 % of
//   the target. From the start until the first second that is not too slow, one such second is enough, so
//   the first settling takes a few seconds; after that it takes two seconds in a row, and at least five
//   seconds since the last change.
// - Under 80 % of the target for five seconds in a row, it goes up to the highest step that the slowest of
//   those seconds predicts under 85 %. When a fall follows a rise within 30 s the rise was a mistake (a
//   load that comes and goes): the seconds of room the next rise needs double, up to 40.
// - Anything in between changes nothing, and the second after a change is left out, to measure the new
//   scale. So the scale changes at most once a second while it first settles and at most once in five
//   seconds after that.
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
    // One second of frames measured by its median; true when the scale changed.
    bool judgeWindow(double median, double windowSeconds);
    void changeTo(int next);

    int steps;  // twentieths
    std::vector<double> frames;
    double framesSeconds = 0.0;
    int settling = 0;              // windows still to leave out after a change
    bool firstSettling = true;     // no second within the target yet: one slow second lowers the scale
    int slowWindows = 0;           // slow seconds in a row
    int roomyWindows = 0;          // seconds with room in a row
    double slowestRoomy = 0.0;     // the slowest median of those
    int roomyWindowsToRise;        // seconds of room in a row a rise needs
    double sinceChange = 1e9;      // seconds of frames since the last change
    double sinceRise = 1e9;        // seconds of frames since the last rise
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

// FrameTiming.h -- frames of the real game loop (update, render, present) timed in a fixed view.
#pragma once

#include <string>
#include <vector>

#include <glm/glm.hpp>

#include "DrawCounting.h"

class Game;
class Renderer;

// The renderer that draws the benchmark's game.
extern Renderer* benchRenderer;

struct View {
    std::string name;
    glm::vec3 position;
    glm::vec3 direction;
    glm::vec3 up;
    bool frustumCulling = false;
    bool holdCamera = false;  // aim again after each update (a view the camera update would not keep)
    double targetFps = 60.0;
    // How the frame is drawn: the plain way (as before the quick frame), and at render scale 1 or auto.
    bool plain = false;
    bool autoScale = false;
    float fixedScale = 0.0f;   // above 0: drawn at this render scale instead
    bool unsharpened = false;  // below scale 1: scaled up without the sharpening (as before it)
};

// Medians and 95th percentiles in milliseconds; the frame is update + render + present.
struct FrameSeries {
    int frames = 0;
    double frameMedian = 0.0, frameP95 = 0.0, frameMin = 0.0;
    double updateMedian = 0.0, renderMedian = 0.0, presentMedian = 0.0;
    // Processor time of the whole process (all of the GL driver's threads) per frame, on average. It
    // does not grow with the machine's load as wall time does; on an idle 2-core machine a frame takes
    // between half of it (both cores busy drawing) and all of it.
    double cpuPerFrame = 0.0;
    int glErrors = 0;
    int people = 0;  // living people when the series ended
};

struct ModelDraws {
    std::string model;
    DrawTally colour, objectId;
    double costMs = -1.0;  // processor ms per frame saved by leaving its draws out (< 0: not measured)
};

struct ViewResult {
    View view;
    float scale = 1.0f;  // the render scale the frames were drawn at (auto: where it settled)
    double settleSeconds = 0.0;  // auto: seconds of frames until the scale held still
    FrameSeries series;
    FrameDraws draws;
    std::vector<ModelDraws> byModel;
};

// Every frame advances the world by the same step, so two runs with the same seed see the same world.
constexpr float benchFrameStep = 1.0f / 60.0f;

// Runs `warmup` untimed then `frames` timed loop iterations in the view, counts one more frame's draws,
// and, when `attribute` is set, compares the processor time of frames with and without each model's draws.
ViewResult measureView(Game& game, const View& view, int warmup, int frames, bool attribute);

// Two ways of drawing the same view, timed in alternating blocks A B B A of frames/2 each after their
// warm-up, so that a change of the machine's load falls on both alike. Draws are counted for each.
std::vector<ViewResult> measureAlternating(Game& game, const View& a, const View& b, int warmup, int frames);

// Lets the automatic render scale settle in the view (until it has held still for 4 s, at most 30 s).
// Returns the seconds it took.
double settleRenderScale(Game& game, const View& view);

// One line per second of frames with the automatic render scale: the scale and the median frame time.
struct TracePoint {
    double second = 0.0;
    float scale = 1.0f;
    double frameMedian = 0.0;
    int frames = 0;
    int changes = 0;  // changes of the scale during this second
};
std::vector<TracePoint> traceRenderScale(Game& game, const View& view, double seconds);

// The value at `fraction` of the way from the lowest (0) to the highest (1), interpolated; sorts the list.
double percentile(std::vector<double>& values, double fraction);

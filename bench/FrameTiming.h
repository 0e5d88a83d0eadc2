// FrameTiming.h -- frames of the real game loop (update, render, present) timed in a fixed view.
#pragma once

#include <string>
#include <vector>

#include <glm/glm.hpp>

#include "DrawCounting.h"

class Game;

struct View {
    std::string name;
    glm::vec3 position;
    glm::vec3 direction;
    glm::vec3 up;
    bool frustumCulling = false;
    bool holdCamera = false;  // aim again after each update (a view the camera update would not keep)
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
    FrameSeries series;
    FrameDraws draws;
    std::vector<ModelDraws> byModel;
};

// Every frame advances the world by the same step, so two runs with the same seed see the same world.
constexpr float benchFrameStep = 1.0f / 60.0f;

// Runs `warmup` untimed then `frames` timed loop iterations in the view, counts one more frame's draws,
// and, when `attribute` is set, compares the processor time of frames with and without each model's draws.
ViewResult measureView(Game& game, const View& view, int warmup, int frames, bool attribute);

// The value at `fraction` of the way from the lowest (0) to the highest (1), interpolated; sorts the list.
double percentile(std::vector<double>& values, double fraction);

// FrameTiming.cpp -- the benchmark's frame loop: the same update, render, present and error check as the
// game's loop, in a fixed view, with a fixed world step.
#include "FrameTiming.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include <epoxy/gl.h>

#include "Clock.h"
#include "PlaySetup.h"
#include "assets/GlDiagnostics.h"
#include "app/Platform.h"
#include "assets/Model.h"
#include "game/Game.h"
#include "render/Renderer.h"
#include "support/PlainFrame.h"

Renderer* benchRenderer = nullptr;

namespace {

struct FrameSamples {
    std::vector<double> frame, update, render, present;
    int glErrors = 0;
};

// With `advance` off the world stands still (no update), so that every frame draws the same picture.
void runFrames(Game& game, const View& view, int count, FrameSamples* samples, bool advance = true) {
    for (int i = 0; i < count; ++i) {
        const double start = nowSeconds();
        if (advance) game.update(game.timeScale * benchFrameStep);
        if (view.holdCamera) aimCamera(game, view.position, view.direction, view.up);
        const double updated = nowSeconds();
        if (view.plain)
            omxtest::drawPlainFrame(*benchRenderer);
        else
            game.render();
        const double rendered = nowSeconds();
        platform::swapBuffers();
        const double presented = nowSeconds();
        const unsigned error = checkGLError();
        if (!samples) continue;
        samples->frame.push_back((presented - start) * 1000.0);
        samples->update.push_back((updated - start) * 1000.0);
        samples->render.push_back((rendered - updated) * 1000.0);
        samples->present.push_back((presented - rendered) * 1000.0);
        samples->glErrors += error != GL_NO_ERROR;
    }
}

double medianOf(std::vector<double>& values) { return percentile(values, 0.5); }

// The models the renderer draws, by the vertex array it binds for them.
std::vector<std::pair<std::string, const Model*>> namedModels(const Renderer& r) {
    const WorldModels& m = r.models();
    return {{"sky box", &m.skybox},           {"ground tile", &m.ground},
            {"ground border", &m.groundBorder}, {"info panel", &m.infoPanel},
            {"light marker", &m.lightMarker},   {"wall", &m.wall},
            {"moai", &m.moai},                  {"tree", &m.tree},
            {"holy grenade", &m.grenade},       {"grenade border", &m.grenadeBorder},
            {"good person", &m.goodPerson},     {"bad person", &m.badPerson},
            {"lightning", &m.lightning}};
}

}  // namespace

double percentile(std::vector<double>& values, double fraction) {
    if (values.empty()) return 0.0;
    std::sort(values.begin(), values.end());
    const double rank = fraction * static_cast<double>(values.size() - 1);
    const size_t low = static_cast<size_t>(std::floor(rank));
    const size_t high = std::min(values.size() - 1, low + 1);
    return values[low] + (values[high] - values[low]) * (rank - static_cast<double>(low));
}

namespace {

// The automatic scale is running (it keeps its state from one view to the next that also wants it).
bool autoScaleOn = false;

void prepareView(Game& game, const View& view) {
    benchRenderer->settings.frustumCulling = view.frustumCulling;
    benchRenderer->settings.sharpen = !view.unsharpened;
    if (view.fixedScale > 0.0f) {
        benchRenderer->setRenderScale(false, view.fixedScale);
        autoScaleOn = false;
    } else {
        if (!view.autoScale || !autoScaleOn) benchRenderer->setRenderScale(view.autoScale, 1.0f);
        autoScaleOn = view.autoScale;
    }
    aimCamera(game, view.position, view.direction, view.up);
}

FrameSeries summarize(FrameSamples& samples, int frames, double cpuSeconds, const Game& game) {
    FrameSeries series;
    series.cpuPerFrame = cpuSeconds * 1000.0 / frames;
    series.frames = frames;
    series.frameMin = percentile(samples.frame, 0.0);
    series.frameMedian = medianOf(samples.frame);
    series.frameP95 = percentile(samples.frame, 0.95);
    series.updateMedian = medianOf(samples.update);
    series.renderMedian = medianOf(samples.render);
    series.presentMedian = medianOf(samples.present);
    series.glErrors = samples.glErrors;
    series.people = livingPeople(game);
    return series;
}

}  // namespace

double settleRenderScale(Game& game, const View& view) {
    prepareView(game, view);
    if (!autoScaleOn) return 0.0;
    const double start = nowSeconds();
    double lastChange = start;
    float scale = benchRenderer->renderScale();
    while (nowSeconds() - lastChange < 4.0 && nowSeconds() - start < 30.0) {
        runFrames(game, view, 1, nullptr);
        if (benchRenderer->renderScale() != scale) {
            scale = benchRenderer->renderScale();
            lastChange = nowSeconds();
        }
    }
    return lastChange - start;
}

std::vector<TracePoint> traceRenderScale(Game& game, const View& view, double seconds) {
    prepareView(game, view);
    benchRenderer->setRenderScale(true, 1.0f);
    autoScaleOn = true;
    std::vector<TracePoint> trace;
    const double start = nowSeconds();
    FrameSamples samples;
    double secondStart = start;
    int changes = 0;
    while (nowSeconds() - start < seconds) {
        const float scale = benchRenderer->renderScale();
        runFrames(game, view, 1, &samples);
        changes += benchRenderer->renderScale() != scale ? 1 : 0;
        const double now = nowSeconds();
        if (now - secondStart < 1.0) continue;
        TracePoint point;
        point.second = now - start;
        point.scale = benchRenderer->renderScale();
        point.frames = static_cast<int>(samples.frame.size());
        point.frameMedian = medianOf(samples.frame);
        point.changes = changes;
        changes = 0;
        trace.push_back(point);
        samples = FrameSamples();
        secondStart = now;
    }
    return trace;
}

std::vector<ViewResult> measureAlternating(Game& game, const View& a, const View& b, int warmup, int frames) {
    const View* views[2] = {&a, &b};
    FrameSamples samples[2];
    double cpu[2] = {0.0, 0.0};
    int counted[2] = {0, 0};
    for (const View* view : views) {
        prepareView(game, *view);
        runFrames(game, *view, warmup, nullptr);
    }
    const int half = std::max(1, frames / 2);
    for (int block : {0, 1, 1, 0}) {
        prepareView(game, *views[block]);
        runFrames(game, *views[block], 2, nullptr);  // the other way's state out of the way
        const double before = processCpuSeconds();
        runFrames(game, *views[block], half, &samples[block]);
        cpu[block] += processCpuSeconds() - before;
        counted[block] += half;
    }
    std::vector<ViewResult> results(2);
    for (int k = 0; k < 2; ++k) {
        ViewResult& result = results[static_cast<std::size_t>(k)];
        result.view = *views[k];
        prepareView(game, *views[k]);
        result.series = summarize(samples[k], counted[k], cpu[k], game);
        result.scale = benchRenderer->renderScale();
        startDrawCounting();
        runFrames(game, *views[k], 1, nullptr);
        result.draws = stopDrawCounting();
    }
    return results;
}

ViewResult measureView(Game& game, const View& view, int warmup, int frames, bool attribute) {
    ViewResult result;
    result.view = view;
    prepareView(game, view);
    runFrames(game, view, warmup, nullptr);

    FrameSamples samples;
    const double cpuBefore = processCpuSeconds();
    runFrames(game, view, frames, &samples);
    result.series = summarize(samples, frames, processCpuSeconds() - cpuBefore, game);
    result.scale = benchRenderer->renderScale();

    startDrawCounting();
    runFrames(game, view, 1, nullptr);
    result.draws = stopDrawCounting();

    for (const auto& [name, model] : namedModels(*benchRenderer)) {
        if (!model || model->vao == 0) continue;
        ModelDraws entry;
        entry.model = name;
        const auto colour = result.draws.byArray.find({static_cast<int>(Pass::Colour), model->vao});
        const auto objectId = result.draws.byArray.find({static_cast<int>(Pass::ObjectId), model->vao});
        if (colour != result.draws.byArray.end()) entry.colour = colour->second;
        if (objectId != result.draws.byArray.end()) entry.objectId = objectId->second;
        if (entry.colour.draws == 0 && entry.objectId.draws == 0) continue;
        if (attribute) {
            // The same number of frames with and without the model, interleaved in halves so that
            // a change of machine load falls on both alike.
            // Processor time rather than wall time, so that other work on the machine does not show, and
            // the world held still, so that both sides draw the same picture.
            double withCpu = 0.0, withoutCpu = 0.0;
            const int half = std::max(1, frames / 4);
            for (int round = 0; round < 2; ++round) {
                double start = processCpuSeconds();
                runFrames(game, view, half, nullptr, false);
                withCpu += processCpuSeconds() - start;
                startDrawCounting(model->vao);
                start = processCpuSeconds();
                runFrames(game, view, half, nullptr, false);
                withoutCpu += processCpuSeconds() - start;
                stopDrawCounting();
            }
            entry.costMs = (withCpu - withoutCpu) * 1000.0 / (2.0 * half);
        }
        result.byModel.push_back(entry);
    }
    return result;
}

// RenderScaleTest.cpp -- the render scale: its option and default by driver, the controller that holds 60
// frames a second (no window), and a frame drawn at a lower scale with picking still exact.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <iostream>
#include <sstream>
#include <tuple>
#include <vector>

#include <epoxy/gl.h>

#include "RenderFixture.h"
#include "render/RenderScale.h"
#include "support/GlContext.h"

namespace {

// A repeatable stand-in for a machine's noise: uniform numbers from a fixed seed.
class Noise {
public:
    double within(double low, double high) {
        state = state * 1664525u + 1013904223u;
        return low + (high - low) * static_cast<double>(state >> 8) / 16777216.0;
    }

private:
    std::uint32_t state = 12345u;
};

// Frame time in seconds of a frame drawn at `scale`, `seconds` into the run.
using FrameCost = std::function<double(float scale, double seconds, Noise& noise)>;

// What the controller did over a run of frames: when it changed and to what.
struct Played {
    std::vector<double> at;
    std::vector<float> scales;
    float settled = 1.0f;

    int changesAfter(double second) const {
        return static_cast<int>(std::count_if(at.begin(), at.end(), [second](double t) { return t > second; }));
    }
    // The shortest time between two changes of which the later comes after `second` (1e9: none).
    double shortestGapAfter(double second) const {
        double gap = 1e9;
        for (std::size_t i = 1; i < at.size(); ++i)
            if (at[i] > second) gap = std::min(gap, at[i] - at[i - 1]);
        return gap;
    }
};

Played play(RenderScaleController& controller, double seconds, const FrameCost& cost) {
    Noise noise;
    Played run;
    for (double t = 0.0; t < seconds;) {
        const double frame = cost(controller.scale(), t, noise);
        t += frame;
        if (!controller.addFrame(frame)) continue;
        run.at.push_back(t);
        run.scales.push_back(controller.scale());
    }
    run.settled = controller.scale();
    return run;
}

// Milliseconds of a frame whose cost grows with the pixels drawn, as on a software rasterizer: a part that
// does not shrink with the scale and one that does.
double pixelBoundMs(float scale, double fixedMs, double fullScaleMs) {
    return fixedMs + fullScaleMs * static_cast<double>(scale) * static_cast<double>(scale);
}

constexpr double targetMs = 1000.0 / 60.0;
constexpr double slowMs = targetMs * 1.08;  // slower than this lowers the scale

TEST(RenderScaleController, SteadySlowFramesGoStraightToTheFloorAndStay) {
    for (const double frameMs : {200.0, 1000.0}) {
        RenderScaleController controller;
        const Played run = play(controller, 60.0, [frameMs](float, double, Noise& noise) {
            return frameMs / 1000.0 * noise.within(0.9, 1.1);
        });
        EXPECT_EQ(run.at.size(), 1u) << frameMs << " ms";
        EXPECT_FLOAT_EQ(run.settled, 0.5f) << frameMs << " ms: never below one half";
    }
}

TEST(RenderScaleController, OnAQuietMachineItSettlesInTheFirstSecondsAndHoldsStill) {
    struct Machine {
        double fixedMs, fullScaleMs;
        float settles;  // the highest step that holds 60 fps, as a few falls by the pixel count find it
    };
    // 40 ms at full scale (4 of them fixed): 0.60 draws in 17.0 ms, within 108 %, 0.65 would take 19.2.
    // Like llvmpipe's play view, 28 ms at 1 and most of it fixed: 0.60 draws in 16.9 ms.
    // 22 ms at 1: the pixel count predicts 0.83 for 92 % of the target; 0.80 draws in 14.8 ms, not
    // room enough to rise (under 80 %, 13.3 ms).
    for (const Machine& m : {Machine{4.0, 36.0, 0.60f}, Machine{10.7, 17.3, 0.60f}, Machine{2.0, 20.0, 0.80f}}) {
        SCOPED_TRACE(testing::Message() << m.fixedMs << " + " << m.fullScaleMs << " ms");
        RenderScaleController controller;
        const Played run = play(controller, 60.0, [&m](float scale, double, Noise& noise) {
            return pixelBoundMs(scale, m.fixedMs, m.fullScaleMs) / 1000.0 * noise.within(0.85, 1.15);
        });
        EXPECT_EQ(run.changesAfter(10.0), 0);
        EXPECT_GE(run.shortestGapAfter(0.0), 1.0) << "at most one change a second";
        EXPECT_NEAR(run.settled, m.settles, 1e-4f);
    }
}

TEST(RenderScaleController, FastFramesRiseInFewStepsAtLeastFiveSecondsApart) {
    RenderScaleController controller(0.5f);
    // 4 ms at 0.5, 13 ms at 1: the pixel count (which over-estimates a rise) allows 0.90 first, then 1.
    const Played run = play(controller, 60.0, [](float scale, double, Noise& noise) {
        return pixelBoundMs(scale, 1.0, 12.0) / 1000.0 * noise.within(0.85, 1.15);
    });
    ASSERT_EQ(run.at.size(), 2u);
    EXPECT_NEAR(run.scales[0], 0.90f, 1e-4f);
    EXPECT_GE(run.at[0], 5.0) << "five seconds of room before the first rise";
    EXPECT_GE(run.shortestGapAfter(0.0), 5.0);
    EXPECT_FLOAT_EQ(run.settled, 1.0f);

    // A scale whose next step up would come near the target stays where it is.
    RenderScaleController tight(0.8f);
    const Played held = play(tight, 30.0, [](float, double, Noise&) { return 0.013; });
    EXPECT_TRUE(held.at.empty()) << "13 ms at 0.8 predicts 14.7 ms at 0.85";
    // Hitches and nonsense do not throw it.
    EXPECT_FALSE(tight.addFrame(-1.0));
    EXPECT_FALSE(tight.addFrame(0.0));
}

TEST(RenderScaleController, FrameTimesNoisyAroundAThresholdMoveItAtMostOnce) {
    struct Noisy {
        const char* name;
        double low, high;  // each second's level at 0.75, in frame times of 1/60 s
        double fixedMs;    // the part of 1/60 s at 0.75 that does not shrink with the scale
    };
    // Around the fall threshold (108 %): a third of the seconds are slow. Around the rise threshold (80 %),
    // with a fixed part that the rise's prediction does not see: half of the seconds have room.
    for (const Noisy& n : {Noisy{"around the fall threshold", 0.96, 1.16, 0.0},
                           Noisy{"around the rise threshold", 0.70, 0.90, 2.5}}) {
        SCOPED_TRACE(n.name);
        RenderScaleController controller(0.75f);
        for (int i = 0; i < 300; ++i) controller.addFrame(1.0 / 60.0);  // settled at 0.75
        const Played run = play(controller, 60.0, [&n, level = 1.0, second = -1](float scale, double t, Noise& noise) mutable {
            if (static_cast<int>(t) != second) {
                second = static_cast<int>(t);
                level = noise.within(n.low, n.high);
            }
            const double atThreeQuarters = pixelBoundMs(0.75f, n.fixedMs, (targetMs - n.fixedMs) / 0.5625);
            const double ms = pixelBoundMs(scale, n.fixedMs, (targetMs - n.fixedMs) / 0.5625);
            return level * ms * (targetMs / atThreeQuarters) / 1000.0 * noise.within(0.8, 1.2);
        });
        EXPECT_LE(run.at.size(), 1u);
        EXPECT_GE(run.settled, 0.65f - 1e-4f);
        EXPECT_LE(run.settled, 0.75f + 1e-4f);
    }
}

TEST(RenderScaleController, ALoadThatComesAndGoesMovesItAtMostOnceInFiveSeconds) {
    struct Load {
        double fixedMs, fullScaleMs, factor;  // frame times grow by `factor` while the load is on
    };
    for (const Load& load : {Load{2.0, 20.0, 1.6}, Load{6.0, 8.0, 2.5}}) {
        for (const double period : {2.0, 3.0, 5.0, 10.0, 20.0}) {
            SCOPED_TRACE(testing::Message() << "x" << load.factor << " switched every " << period << " s");
            RenderScaleController controller;
            const Played run = play(controller, 180.0, [&load, period](float scale, double t, Noise& noise) {
                const bool on = static_cast<long>(t / period) % 2 == 1;
                return pixelBoundMs(scale, load.fixedMs, load.fullScaleMs) * (on ? load.factor : 1.0) / 1000.0 *
                       noise.within(0.9, 1.1);
            });
            EXPECT_GE(run.shortestGapAfter(10.0), 5.0);
            EXPECT_LE(run.changesAfter(120.0), 2) << "a rise that the load proves wrong makes the next wait longer";
            // Where it ends, the frames hold 60 fps with the load on (or it is at its floor).
            float holding = 0.5f;
            for (int steps = 11; steps <= 20; ++steps)
                if (pixelBoundMs(0.05f * static_cast<float>(steps), load.fixedMs, load.fullScaleMs) * load.factor <= slowMs)
                    holding = 0.05f * static_cast<float>(steps);
            EXPECT_LE(run.settled, holding + 1e-4f);
        }
    }
}

TEST(RenderScaleOption, AutoOrAHalfToOneOnTheCommandLineElseTheDriverDecides) {
    for (const auto& [text, automatic, fixed] : {std::tuple{"0.75", false, 0.75f}, {"auto", true, 0.0f},
                                                 {"0.5", false, 0.5f}, {"1", false, 1.0f}}) {
        RenderScaleSetting setting;
        EXPECT_TRUE(parseRenderScale(text, setting)) << text;
        EXPECT_TRUE(setting.given) << text;
        EXPECT_EQ(setting.automatic, automatic) << text;
        if (!automatic) {
            EXPECT_EQ(setting.fixed, fixed) << text;
        }
    }
    for (const char* bad : {"0.49", "1.01", "abc", "0.75x", "", "nan", "inf", "-1"}) {
        RenderScaleSetting untouched;
        EXPECT_FALSE(parseRenderScale(bad, untouched)) << bad;
        EXPECT_FALSE(untouched.given) << bad;
    }

    // Mesa's software rasterizers start at the automatic scale, other drivers at 1; the command line wins.
    const RenderScaleSetting none;
    EXPECT_TRUE(chooseRenderScale(none, "llvmpipe (LLVM 15.0.6, 256 bits)").automatic);
    EXPECT_TRUE(chooseRenderScale(none, "softpipe").automatic);
    const RenderScaleSetting hardware = chooseRenderScale(none, "AMD Radeon RX 6600 (radeonsi, navi23)");
    EXPECT_FALSE(hardware.automatic);
    EXPECT_EQ(hardware.fixed, 1.0f);
    RenderScaleSetting fromLine;
    ASSERT_TRUE(parseRenderScale("0.6", fromLine));
    EXPECT_FALSE(chooseRenderScale(fromLine, "llvmpipe").automatic);
    EXPECT_EQ(renderScaleLine(0.75f), "Render scale: 0.75");
    EXPECT_EQ(renderScaleLine(0.5f), "Render scale: 0.50");
}

TEST(RenderScaleSize, TheWindowAtTheScaleWithinTheDriversLargestSideInItsOwnProportions) {
    const auto size = [](int w, int h, float scale, int largest) {
        const SceneSize s = sceneSizeFor(w, h, scale, largest);
        return std::pair<int, int>(s.width, s.height);
    };
    EXPECT_EQ(size(1200, 800, 1.0f, 16384), std::make_pair(1200, 800));
    EXPECT_EQ(size(1200, 800, 0.5f, 16384), std::make_pair(600, 400));
    EXPECT_EQ(size(1201, 801, 0.75f, 0), std::make_pair(901, 601));  // rounded to the nearest pixel; 0: no limit
    EXPECT_EQ(size(1, 1, 0.5f, 16384), std::make_pair(1, 1));
    // Wider or taller than the driver allows: the longer side at the limit, the other in proportion.
    EXPECT_EQ(size(11520, 2160, 1.0f, 8192), std::make_pair(8192, 1536));
    EXPECT_EQ(size(3000, 9000, 1.0f, 8192), std::make_pair(2731, 8192));
    EXPECT_EQ(size(11520, 2160, 0.5f, 8192), std::make_pair(5760, 1080));  // the scale alone brings it within
    EXPECT_EQ(size(1200, 800, 1.0f, 600), std::make_pair(600, 400));
}

TEST(RenderScaleFrame, AWindowLargerThanTheDriversLargestTargetIsDrawnSmallerAndScaledUp) {
    rendertest::Scene scene;
    ASSERT_TRUE(rendertest::buildRealWorld(scene)) << "no world drawn: " << omxtest::glContextFailure();
    Game& g = *scene.game;
    rendertest::overlookHome(scene);
    scene.renderer->setRenderScale(false, 0.5f);
    g.render();
    const omxtest::Image half = rendertest::windowImage(g);

    // As if the driver's largest texture were 600 pixels a side: at scale 1 the world is drawn at 600 x 400,
    // the same frame as at scale 0.5, instead of into the window without a depth buffer.
    scene.renderer->limitSceneSide(600);
    scene.renderer->setRenderScale(false, 1.0f);
    g.render();
    EXPECT_EQ(scene.renderer->sceneTarget().width, 600);
    EXPECT_EQ(scene.renderer->sceneTarget().height, 400);
    EXPECT_EQ(rendertest::windowImage(g).rgba, half.rgba);
    EXPECT_GT(glm::length(rendertest::mean(half, 0, 700, 1200, 800) - rendertest::mean(half, 0, 0, 1200, 100)), 0.02f)
        << "a picture worth comparing";
}

TEST(RenderScaleFrame, AHalfScaleFrameShowsTheSameWorldAndPicksInWindowPixels) {
    rendertest::Scene scene;
    ASSERT_TRUE(rendertest::buildRealWorld(scene)) << "no world drawn: " << omxtest::glContextFailure();
    Game& g = *scene.game;
    rendertest::overlookHome(scene);
    SceneObject& person =
        omxtest::addPerson(g, *g.settlements[0], ObjectType::GoodPerson, PersonState::Wandering, scene.centre + glm::vec3(-60.0f, 0.0f, 150.0f));
    g.render();
    const omxtest::Image full = rendertest::windowImage(g);

    scene.renderer->setRenderScale(false, 0.5f);
    ASSERT_NE(scene.renderer->programs().scale, nullptr) << "the scale program was built: without it a blit scales up";
    g.render();
    const omxtest::Image half = rendertest::windowImage(g);
    EXPECT_EQ(scene.renderer->sceneTarget().width, 600);
    EXPECT_EQ(scene.renderer->sceneTarget().height, 400);
    // The same picture, only softer: every 100-pixel block keeps its mean colour.
    for (int y = 0; y < 800; y += 100)
        for (int x = 0; x < 1200; x += 100)
            EXPECT_LT(glm::length(rendertest::mean(full, x, y, x + 100, y + 100) -
                                  rendertest::mean(half, x, y, x + 100, y + 100)),
                      0.06f)
                << "block at " << x << ", " << y;
    int differing = 0;
    for (std::size_t i = 0; i < full.rgba.size(); i += 4) differing += full.rgba[i] != half.rgba[i] ? 1 : 0;
    EXPECT_GT(differing, 10000) << "drawn at a lower resolution";

    // Picking is exact in window pixels: the person's centre pixel and its neighbours.
    const glm::ivec2 p = rendertest::centrePixel(g, person, "goodbobob2.obj");
    EXPECT_EQ(g.readObjectId(p.x, p.y), person.id);
    g.mouse = MousePosition{p.x, 800 - p.y};
    g.updateHover();
    EXPECT_TRUE(person.highlighted);

    // Back at 1: the same frame as before.
    scene.renderer->setRenderScale(false, 1.0f);
    person.highlighted = false;
    g.render();
    EXPECT_EQ(rendertest::windowImage(g).rgba, full.rgba);
}

// Brightness of a window pixel, 0..255.
double brightness(const omxtest::Image& image, int x, int y) {
    const unsigned char* p = &image.rgba[static_cast<std::size_t>((y * image.width + x) * 4)];
    return (p[0] + p[1] + p[2]) / 3.0;
}

// How the edges of a full-scale frame come out in a frame drawn at a lower scale: over every hard edge
// of the full frame (a step of at least 48 between two pixels of a row, flat for four pixels on either
// side), the mean number of pixels the lower frame takes to rise from 10 % to 90 % of the step, and the
// mean share of the step taken by its steepest pixel.
struct EdgeShape {
    int edges = 0;
    double width = 0.0;
    double steepest = 0.0;
};

EdgeShape edgeShape(const omxtest::Image& full, const omxtest::Image& lower) {
    EdgeShape shape;
    const auto flat = [&full](int x0, int x1, int y) {
        double low = 255.0, high = 0.0;
        for (int x = x0; x <= x1; ++x) {
            low = std::min(low, brightness(full, x, y));
            high = std::max(high, brightness(full, x, y));
        }
        return high - low <= 12.0;
    };
    for (int y = 0; y < full.height; ++y) {
        for (int x = 4; x + 5 < full.width; ++x) {
            const double step = brightness(full, x + 1, y) - brightness(full, x, y);
            if (std::abs(step) < 48.0 || !flat(x - 3, x, y) || !flat(x + 1, x + 4, y)) continue;
            const double from = brightness(lower, x - 3, y), to = brightness(lower, x + 4, y);
            const double rise = to - from;
            if (std::abs(rise) < 24.0) continue;  // the lower frame lost this edge (a pixel-thin detail)
            int first = -1, last = -1;
            double steepest = 0.0;
            for (int k = x - 3; k <= x + 4; ++k) {
                const double share = (brightness(lower, k, y) - from) / rise;
                if (first < 0 && share >= 0.1) first = k;
                if (last < 0 && share >= 0.9) last = k;
                if (k > x - 3) steepest = std::max(steepest, (brightness(lower, k, y) - brightness(lower, k - 1, y)) / rise);
            }
            ++shape.edges;
            shape.width += last - first;
            shape.steepest += steepest;
        }
    }
    if (shape.edges > 0) {
        shape.width /= shape.edges;
        shape.steepest /= shape.edges;
    }
    return shape;
}

TEST(RenderScaleFrame, AtHalfScaleEdgesComeOutSteeperSharpenedThanPlainlyScaledUp) {
    rendertest::Scene scene;
    ASSERT_TRUE(rendertest::buildRealWorld(scene)) << "no world drawn: " << omxtest::glContextFailure();
    Game& g = *scene.game;
    rendertest::overlookHome(scene);
    for (int i = 0; i < 6; ++i)
        omxtest::addPerson(g, *g.settlements[0], i % 2 ? ObjectType::BadPerson : ObjectType::GoodPerson,
                           PersonState::Wandering,
                           scene.centre + glm::vec3(-150.0f + 60.0f * static_cast<float>(i), 0.0f, 120.0f));
    g.render();
    const omxtest::Image full = rendertest::windowImage(g);

    scene.renderer->setRenderScale(false, 0.5f);
    ASSERT_NE(scene.renderer->programs().sharpen, nullptr) << "the sharpening program was built";
    scene.renderer->settings.sharpen = false;  // scaled up as it was before the sharpening
    g.render();
    const omxtest::Image plain = rendertest::windowImage(g);
    scene.renderer->settings.sharpen = true;
    g.render();
    const omxtest::Image sharp = rendertest::windowImage(g);

    const EdgeShape before = edgeShape(full, plain);
    const EdgeShape after = edgeShape(full, sharp);
    std::cout << "hard edges " << after.edges << ": 10-90 % width " << before.width << " -> " << after.width
              << " pixels, steepest pixel " << before.steepest << " -> " << after.steepest << " of the step"
              << std::endl;
    ASSERT_GE(after.edges, 200) << "a picture with edges to measure";
    EXPECT_LT(after.width, before.width * 0.85);
    EXPECT_GT(after.steepest, before.steepest * 1.15);
    // The same picture, only sharper: every 100-pixel block keeps its mean colour.
    for (int y = 0; y < 800; y += 100)
        for (int x = 0; x < 1200; x += 100)
            EXPECT_LT(glm::length(rendertest::mean(plain, x, y, x + 100, y + 100) -
                                  rendertest::mean(sharp, x, y, x + 100, y + 100)),
                      0.02f)
                << "block at " << x << ", " << y;
}

TEST(RenderScaleFrame, AtFullScaleTheWindowShowsTheWorldPixelForPixel) {
    rendertest::Scene scene;
    ASSERT_TRUE(rendertest::buildRealWorld(scene)) << "no world drawn: " << omxtest::glContextFailure();
    Game& g = *scene.game;
    rendertest::overlookHome(scene);
    omxtest::addPerson(g, *g.settlements[0], ObjectType::GoodPerson, PersonState::Wandering, scene.centre + glm::vec3(-60.0f, 0.0f, 150.0f));
    // After a frame at another scale, which left the scene texture filtering linearly and went through the
    // sharpening.
    scene.renderer->setRenderScale(false, 0.75f);
    g.render();
    scene.renderer->setRenderScale(false, 1.0f);
    g.render();
    ASSERT_EQ(scene.renderer->sceneTarget().width, 1200);
    ASSERT_EQ(scene.renderer->sceneTarget().height, 800);
    const omxtest::Image world = omxtest::readFramebuffer(scene.renderer->sceneTarget().framebuffer, 1200, 800);
    const omxtest::Image window = rendertest::windowImage(g);
    ASSERT_EQ(window.rgba.size(), world.rgba.size());
    std::size_t differing = 0, firstDifference = 0;
    for (std::size_t i = 0; i < world.rgba.size(); i += 4) {
        // Alpha aside: the window shows colour only.
        const bool same = std::equal(&world.rgba[i], &world.rgba[i] + 3, &window.rgba[i]);
        if (!same && differing++ == 0) firstDifference = i / 4;
    }
    EXPECT_EQ(differing, 0u) << "first at pixel " << firstDifference % 1200 << ", " << firstDifference / 1200;
    // A picture worth comparing: ground, sky and people differ from one another.
    EXPECT_GT(glm::length(rendertest::mean(window, 0, 700, 1200, 800) - rendertest::mean(window, 0, 0, 1200, 100)),
              0.02f);
}

}  // namespace

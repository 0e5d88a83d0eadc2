// RenderScaleTest.cpp -- the render scale: its option and default by driver, the controller that holds 60
// frames a second (no window), and a frame drawn at a lower scale with picking still exact.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <tuple>
#include <vector>

#include <epoxy/gl.h>

#include "RenderFixture.h"
#include "render/RenderScale.h"
#include "support/GlContext.h"

namespace {

// Seconds of frames at a frame time; returns the scales the controller changed to, in order.
std::vector<float> run(RenderScaleController& controller, double seconds, double frameTime) {
    std::vector<float> changes;
    for (double t = 0.0; t < seconds; t += frameTime)
        if (controller.addFrame(frameTime)) changes.push_back(controller.scale());
    return changes;
}

// Frame time of a frame whose cost grows with the pixels drawn, as on a software rasterizer.
double pixelBound(float scale, double fixedMs, double fullScaleMs) {
    return (fixedMs + fullScaleMs * scale * scale) / 1000.0;
}

TEST(RenderScaleController, FallsToWhatHolds60FpsAtMostOnceASecondAndNeverBelowHalf) {
    // 40 ms at full scale, 4 ms of it fixed: 60 fps needs about 0.63.
    RenderScaleController controller;
    EXPECT_FLOAT_EQ(controller.scale(), 1.0f);
    std::vector<float> scales;
    int changes = 0;
    double seconds = 0.0, lastChange = -10.0, shortestGap = 1e9;
    while (seconds < 60.0) {
        const double frame = pixelBound(controller.scale(), 4.0, 36.0);
        seconds += frame;
        if (controller.addFrame(frame)) {
            ++changes;
            shortestGap = std::min(shortestGap, seconds - lastChange);
            lastChange = seconds;
            scales.push_back(controller.scale());
        }
    }
    ASSERT_FALSE(scales.empty());
    EXPECT_GE(shortestGap, 1.0);
    EXPECT_LE(changes, 6) << "settles instead of pumping";
    for (std::size_t i = 1; i < scales.size(); ++i) EXPECT_GE(scales[i - 1] - scales[i], -0.051f);
    for (float s : scales) EXPECT_GE(s, 0.5f);
    const float settled = controller.scale();
    EXPECT_LE(pixelBound(settled, 4.0, 36.0), 1.0 / 60.0 * 1.08) << "holds 60 fps at " << settled;
    EXPECT_GE(settled, 0.55f) << "not lower than it needs";
    EXPECT_LE(lastChange, 20.0) << "settled within 20 s";

    // However slow the frames, never below one half.
    RenderScaleController slow;
    run(slow, 30.0, 0.2);
    EXPECT_FLOAT_EQ(slow.scale(), 0.5f);
}

TEST(RenderScaleController, RisesSlowlyWithRoomAndHoldsStillNearTheTarget) {
    RenderScaleController controller(0.5f);
    // Fast frames at every scale: one step at a time, at least three seconds apart, up to 1.
    const std::vector<float> up = run(controller, 200.0, 0.005);
    ASSERT_EQ(up.size(), 10u);
    for (std::size_t i = 0; i < up.size(); ++i) EXPECT_NEAR(up[i], 0.55f + 0.05f * static_cast<float>(i), 1e-4f);
    EXPECT_FLOAT_EQ(controller.scale(), 1.0f);

    // Frame times around the target, or held at it by the display's refresh: nothing changes.
    RenderScaleController steady(0.75f);
    EXPECT_TRUE(run(steady, 60.0, 1.0 / 60.0).empty());
    double t = 0.0;
    int changes = 0;
    for (int i = 0; t < 60.0; ++i) {
        const double frame = (i % 2 ? 15.5 : 17.5) / 1000.0;
        t += frame;
        changes += steady.addFrame(frame) ? 1 : 0;
    }
    EXPECT_EQ(changes, 0);
    // A scale whose next step up would overshoot the target stays where it is.
    RenderScaleController tight(0.8f);
    EXPECT_TRUE(run(tight, 30.0, 0.013).empty()) << "13 ms at 0.8 predicts 14.7 ms at 0.85";
    // Hitches and nonsense do not throw it.
    EXPECT_FALSE(tight.addFrame(-1.0));
    EXPECT_FALSE(tight.addFrame(0.0));
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

TEST(RenderScaleFrame, AtFullScaleTheWindowShowsTheWorldPixelForPixel) {
    rendertest::Scene scene;
    ASSERT_TRUE(rendertest::buildRealWorld(scene)) << "no world drawn: " << omxtest::glContextFailure();
    Game& g = *scene.game;
    rendertest::overlookHome(scene);
    omxtest::addPerson(g, *g.settlements[0], ObjectType::GoodPerson, PersonState::Wandering, scene.centre + glm::vec3(-60.0f, 0.0f, 150.0f));
    // After a frame at another scale, which left the scene texture filtering linearly.
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

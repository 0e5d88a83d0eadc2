// OverlayTest.cpp -- the overlay on a real 3.3 core context: each shape and line of text covers the pixels asked
// for and leaves the rest alone, text stays readable on white and on black, the status display's marks lie where
// the hit test finds them, the GL state is given back, and an overlay whose program cannot be built draws nothing.
#include <algorithm>
#include <cmath>
#include <string>

#include <gtest/gtest.h>

#include <epoxy/gl.h>

#include "game/StatusDisplay.h"
#include "render/FontAtlas.h"
#include "render/Overlay.h"
#include "render/StatusOverlay.h"
#include "render/TextLayout.h"
#include "support/Files.h"
#include "support/GlContext.h"
#include "support/Image.h"

namespace {

const std::string shaderFolder = OMNIVEX_BINARY_DIR "/shaders/";

// An off-screen colour target of its own size, cleared to a background, with an overlay that draws into it.
class OverlayDrawing : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(omxtest::ensureGlContext()) << omxtest::glContextFailure();
        makeTarget(480, 320);
        ASSERT_TRUE(overlay.init(shaderFolder)) << "the overlay's program did not build";
    }
    void TearDown() override {
        overlay.destroy();
        freeTarget();
        glClearColor(0.0f, 0.0f, 0.0f, 0.0f);  // the game never sets a clear colour: leave the default
    }

    void makeTarget(int w, int h) {
        freeTarget();
        width = w;
        height = h;
        glGenFramebuffers(1, &framebuffer);
        glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
        glGenTextures(1, &texture);
        glBindTexture(GL_TEXTURE_2D, texture);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, w, h, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
        glBindTexture(GL_TEXTURE_2D, 0);
        glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, texture, 0);
        ASSERT_EQ(glCheckFramebufferStatus(GL_FRAMEBUFFER), static_cast<GLenum>(GL_FRAMEBUFFER_COMPLETE));
    }
    void freeTarget() {
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        if (framebuffer != 0) glDeleteFramebuffers(1, &framebuffer);
        if (texture != 0) glDeleteTextures(1, &texture);
        framebuffer = texture = 0;
    }
    void clear(const glm::vec3& colour) {
        background = colour;
        glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
        glViewport(0, 0, width, height);
        glClearColor(colour.r, colour.g, colour.b, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
    }
    omxtest::Image read() const { return omxtest::readFramebuffer(framebuffer, width, height); }

    // Colour (0..1) of the pixel at column x, row y from the top.
    static glm::vec3 at(const omxtest::Image& image, int x, int y) {
        const std::size_t i = (static_cast<std::size_t>(y) * static_cast<std::size_t>(image.width) +
                               static_cast<std::size_t>(x)) * 4;
        return glm::vec3(image.rgba[i], image.rgba[i + 1], image.rgba[i + 2]) / 255.0f;
    }
    static float difference(const glm::vec3& a, const glm::vec3& b) {
        const glm::vec3 d = glm::abs(a - b);
        return std::max(d.x, std::max(d.y, d.z));
    }
    // Pixels of the rectangle [x0, x1) x [y0, y1) that differ from the background.
    int changedIn(const omxtest::Image& image, int x0, int y0, int x1, int y1) const {
        int changed = 0;
        for (int y = std::max(y0, 0); y < std::min(y1, height); ++y)
            for (int x = std::max(x0, 0); x < std::min(x1, width); ++x)
                if (difference(at(image, x, y), background) > 1.5f / 255.0f) ++changed;
        return changed;
    }
    // The area covered, in pixels: each pixel counts by how far its red moved from the background's towards `red`.
    float coveredIn(const omxtest::Image& image, int x0, int y0, int x1, int y1, float red) const {
        float covered = 0.0f;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x) covered += (at(image, x, y).r - background.r) / (red - background.r);
        return covered;
    }
    // Columns from the left and the right with a pixel that differs from the background, in rows [y0, y1).
    glm::ivec2 inkedColumns(const omxtest::Image& image, int y0, int y1) const {
        glm::ivec2 columns(width, -1);
        for (int x = 0; x < width; ++x)
            if (changedIn(image, x, y0, x + 1, y1) > 0) {
                columns.x = std::min(columns.x, x);
                columns.y = std::max(columns.y, x);
            }
        return columns;
    }

    Overlay overlay;
    int width = 0, height = 0;
    GLuint framebuffer = 0, texture = 0;
    glm::vec3 background = glm::vec3(0.0f);
};

const glm::vec4 orange(1.0f, 0.5f, 0.0f, 1.0f);
constexpr float tolerance = 2.0f / 255.0f;

}  // namespace

TEST_F(OverlayDrawing, ARectangleFillsItsPixelsAndNoOthers) {
    clear(glm::vec3(0.1f, 0.2f, 0.3f));
    overlay.begin(width, height);
    overlay.rect(glm::vec2(100.0f, 60.0f), glm::vec2(80.0f, 40.0f), orange);
    overlay.end();
    const omxtest::Image image = read();
    for (const glm::ivec2& inside : {glm::ivec2(140, 80), glm::ivec2(100, 60), glm::ivec2(179, 99)})
        EXPECT_LT(difference(at(image, inside.x, inside.y), glm::vec3(orange)), tolerance) << inside.x << "," << inside.y;
    EXPECT_EQ(changedIn(image, 100, 60, 180, 100), 80 * 40);
    EXPECT_EQ(changedIn(image, 0, 0, width, height), 80 * 40) << "pixels outside the rectangle changed";
}

TEST_F(OverlayDrawing, HigherLayersCoverLowerOnesAndOneKindKeepsItsOrder) {
    clear(glm::vec3(0.0f));
    const glm::vec4 blue(0.0f, 0.2f, 1.0f, 1.0f), green(0.1f, 0.9f, 0.2f, 1.0f);
    overlay.begin(width, height);
    overlay.layer(1);
    overlay.rect(glm::vec2(100.0f, 100.0f), glm::vec2(60.0f, 60.0f), orange);
    overlay.layer(0);
    overlay.rect(glm::vec2(130.0f, 130.0f), glm::vec2(60.0f, 60.0f), blue);  // later, but under
    overlay.rect(glm::vec2(160.0f, 160.0f), glm::vec2(60.0f, 60.0f), green);  // over the blue, same layer and kind
    overlay.end();
    const omxtest::Image image = read();
    EXPECT_LT(difference(at(image, 145, 145), glm::vec3(orange)), tolerance) << "layer 1 over layer 0";
    EXPECT_LT(difference(at(image, 175, 175), glm::vec3(green)), tolerance) << "the later rectangle of a layer on top";
    EXPECT_LT(difference(at(image, 140, 180), glm::vec3(blue)), tolerance);
}

TEST_F(OverlayDrawing, ALayersTextLiesOverItsPlates) {
    clear(glm::vec3(0.0f));
    const glm::vec4 plate(0.2f, 0.2f, 0.8f, 1.0f);
    TextStyle style;
    style.outlineWidth = 0.0f;
    overlay.begin(width, height);
    overlay.text("HHHH", glm::vec2(50.0f, 100.0f), 40.0f, style);
    overlay.rect(glm::vec2(40.0f, 50.0f), glm::vec2(200.0f, 70.0f), plate);  // given after the text
    overlay.end();
    const omxtest::Image image = read();
    int white = 0;
    for (int y = 60; y < 100; ++y)
        for (int x = 50; x < 200; ++x) white += at(image, x, y).r > 0.95f && at(image, x, y).b > 0.95f;
    EXPECT_GT(white, 200) << "the letters are hidden under the plate";
    EXPECT_LT(difference(at(image, 45, 110), glm::vec3(plate)), tolerance) << "the plate";
}

TEST_F(OverlayDrawing, ATranslucentPlateBlendsOverTheWorld) {
    clear(glm::vec3(0.0f));
    overlay.begin(width, height);
    overlay.rect(glm::vec2(10.0f, 10.0f), glm::vec2(50.0f, 50.0f), glm::vec4(1.0f, 1.0f, 1.0f, 0.5f));
    overlay.end();
    const glm::vec3 blended = at(read(), 30, 30);
    EXPECT_NEAR(blended.r, 0.5f, tolerance);
    EXPECT_NEAR(blended.g, 0.5f, tolerance);
}

TEST_F(OverlayDrawing, RoundedCornersLeaveTheCornerPixelsOut) {
    clear(glm::vec3(0.0f));
    overlay.begin(width, height);
    overlay.rect(glm::vec2(100.0f, 60.0f), glm::vec2(80.0f, 40.0f), orange, 12.0f);
    overlay.end();
    const omxtest::Image image = read();
    EXPECT_LT(difference(at(image, 101, 61), background), tolerance) << "corner";
    EXPECT_LT(difference(at(image, 112, 60), glm::vec3(orange)), tolerance) << "top edge after the corner";
    EXPECT_LT(difference(at(image, 140, 80), glm::vec3(orange)), tolerance) << "middle";
}

TEST_F(OverlayDrawing, ADiscIsRound) {
    clear(glm::vec3(0.0f));
    overlay.begin(width, height);
    overlay.disc(glm::vec2(240.0f, 160.0f), 30.0f, orange);
    overlay.end();
    const omxtest::Image image = read();
    EXPECT_LT(difference(at(image, 240, 160), glm::vec3(orange)), tolerance);
    EXPECT_LT(difference(at(image, 240 + 27, 160), glm::vec3(orange)), tolerance);
    EXPECT_LT(difference(at(image, 240 + 32, 160), background), tolerance) << "beyond the radius";
    EXPECT_LT(difference(at(image, 240 + 24, 160 + 24), background), tolerance) << "the box's corner is not the disc";
    EXPECT_NEAR(coveredIn(image, 200, 120, 280, 200, orange.r), 3.14159f * 30.0f * 30.0f, 10.0f);
}

TEST_F(OverlayDrawing, ARingLeavesItsMiddle) {
    clear(glm::vec3(0.0f));
    overlay.begin(width, height);
    overlay.ring(glm::vec2(240.0f, 160.0f), 30.0f, 6.0f, orange);
    overlay.end();
    const omxtest::Image image = read();
    EXPECT_LT(difference(at(image, 240, 160), background), tolerance);
    EXPECT_LT(difference(at(image, 240 + 20, 160), background), tolerance);
    EXPECT_LT(difference(at(image, 240 - 27, 160), glm::vec3(orange)), tolerance);
}

TEST_F(OverlayDrawing, AnArcCoversItsShareClockwiseFromTheTop) {
    clear(glm::vec3(0.0f));
    overlay.begin(width, height);
    overlay.arc(glm::vec2(120.0f, 160.0f), 40.0f, 40.0f, 0.0f, 0.25f, orange);  // top to right
    overlay.arc(glm::vec2(360.0f, 160.0f), 40.0f, 40.0f, 0.5f, 0.25f, orange);  // bottom to left
    overlay.end();
    const omxtest::Image image = read();
    EXPECT_LT(difference(at(image, 135, 145), glm::vec3(orange)), tolerance) << "upper right";
    EXPECT_LT(difference(at(image, 105, 145), background), tolerance) << "upper left";
    EXPECT_LT(difference(at(image, 135, 175), background), tolerance) << "lower right";
    EXPECT_LT(difference(at(image, 345, 175), glm::vec3(orange)), tolerance) << "lower left";
    EXPECT_LT(difference(at(image, 375, 175), background), tolerance) << "lower right";
    EXPECT_LT(difference(at(image, 345, 145), background), tolerance) << "upper left";
    EXPECT_NEAR(coveredIn(image, 60, 100, 180, 220, orange.r), 3.14159f * 40.0f * 40.0f / 4.0f, 25.0f);
}

TEST_F(OverlayDrawing, ATriangleCoversItsInsideOnly) {
    clear(glm::vec3(0.0f));
    overlay.begin(width, height);
    overlay.triangle(glm::vec2(100.0f, 200.0f), glm::vec2(200.0f, 200.0f), glm::vec2(150.0f, 120.0f), orange);
    overlay.end();
    const omxtest::Image image = read();
    EXPECT_LT(difference(at(image, 150, 173), glm::vec3(orange)), tolerance) << "middle";
    EXPECT_LT(difference(at(image, 110, 130), background), tolerance) << "beside the apex";
    EXPECT_LT(difference(at(image, 150, 203), background), tolerance) << "under the base";
    EXPECT_NEAR(coveredIn(image, 90, 110, 210, 210, orange.r), 100.0f * 80.0f / 2.0f, 150.0f);
}

TEST_F(OverlayDrawing, ALetterIsInkedWhereTheLayoutPutsIt) {
    clear(glm::vec3(0.5f));
    const float size = 64.0f;
    const glm::vec2 pen(100.0f, 200.0f);
    TextStyle style;
    style.outlineColour = glm::vec4(0.0f, 0.0f, 0.0f, 1.0f);
    style.outlineWidth = 3.0f;
    overlay.begin(width, height);
    overlay.text("H", pen, size, style);
    overlay.end();
    const omxtest::Image image = read();

    const float scale = size / fontAtlas.bakedHeight;
    const GlyphQuad quad = layoutLine("H", pen, size).at(0);
    const float inkLeft = quad.topLeft.x + static_cast<float>(fontAtlas.padding) * scale;
    const float inkRight = quad.bottomRight.x - static_cast<float>(fontAtlas.padding) * scale;
    const int upper = static_cast<int>(pen.y - capitalHeight(size) * 0.8f);  // above the bar
    EXPECT_GT(at(image, static_cast<int>(inkLeft + 4.0f), upper).r, 0.95f) << "left stem";
    EXPECT_GT(at(image, static_cast<int>(inkRight - 4.0f), upper).r, 0.95f) << "right stem";
    EXPECT_LT(difference(at(image, static_cast<int>((inkLeft + inkRight) * 0.5f), upper), background), tolerance)
        << "between the stems";
    EXPECT_LT(at(image, static_cast<int>(inkLeft - 1.5f), upper).r, 0.1f) << "the outline left of the stem";
    // Nothing beyond the letter and its outline.
    const int right = static_cast<int>(pen.x + textWidth("H", size) + 5.0f);
    EXPECT_EQ(changedIn(image, right, 0, width, height), 0);
    EXPECT_EQ(changedIn(image, 0, 0, static_cast<int>(pen.x) - 2, height), 0);
    EXPECT_EQ(changedIn(image, 0, 0, width, static_cast<int>(pen.y - capitalHeight(size)) - 6), 0);
    EXPECT_EQ(changedIn(image, 0, static_cast<int>(pen.y) + 6, width, height), 0);
}

TEST_F(OverlayDrawing, ALineIsAsWideAsItsMeasure) {
    clear(glm::vec3(0.2f));
    const std::string line = "Won 1/3 · Lost 2/3";
    const float size = 24.0f;
    const glm::vec2 pen(40.0f, 100.0f);
    TextStyle style;
    style.outlineWidth = 2.0f;
    overlay.begin(width, height);
    overlay.text(line, pen, size, style);
    overlay.end();
    const glm::ivec2 ink = inkedColumns(read(), 60, 110);
    const float measured = textWidth(line, size);
    EXPECT_GE(static_cast<float>(ink.x), pen.x - 3.0f);
    EXPECT_LE(static_cast<float>(ink.x), pen.x + 3.0f);
    EXPECT_LE(static_cast<float>(ink.y), pen.x + measured + 3.0f);
    EXPECT_GE(static_cast<float>(ink.y), pen.x + measured - 4.0f);
}

TEST_F(OverlayDrawing, CentredAndRightAlignedTextFollowTheAnchor) {
    clear(glm::vec3(0.2f));
    overlay.begin(width, height);
    overlay.text("Paused", glm::vec2(240.0f, 60.0f), 30.0f, TextStyle(), TextAlign::Centre);
    overlay.text("Speed 3×", glm::vec2(400.0f, 160.0f), 20.0f, TextStyle(), TextAlign::Right);
    overlay.end();
    const omxtest::Image image = read();
    const glm::ivec2 centred = inkedColumns(image, 20, 80);
    EXPECT_NEAR((centred.x + centred.y) * 0.5f, 240.0f, 3.0f);
    const glm::ivec2 right = inkedColumns(image, 130, 170);
    EXPECT_NEAR(static_cast<float>(right.y), 400.0f, 3.0f);
    EXPECT_NEAR(static_cast<float>(right.y - right.x), textWidth("Speed 3×", 20.0f), 6.0f);
}

TEST_F(OverlayDrawing, LinesBreakDownwardsByTheLineHeight) {
    clear(glm::vec3(0.2f));
    overlay.begin(width, height);
    overlay.text("One\nTwo", glm::vec2(40.0f, 60.0f), 24.0f, TextStyle());
    overlay.end();
    const omxtest::Image image = read();
    const int second = static_cast<int>(60.0f + std::round(lineHeight(24.0f)));
    EXPECT_GT(changedIn(image, 30, 60 - 20, 200, 60), 50) << "first line";
    EXPECT_GT(changedIn(image, 30, second - 20, 200, second), 50) << "second line";
    EXPECT_EQ(changedIn(image, 30, second + 8, 200, height), 0) << "nothing below the second line";
}

TEST_F(OverlayDrawing, TextReadsOnWhiteAndOnBlack) {
    for (const glm::vec3& world : {glm::vec3(1.0f), glm::vec3(0.0f)}) {
        clear(world);
        overlay.begin(width, height);
        overlay.text("Settlement 3 is lost", glm::vec2(20.0f, 100.0f), 18.0f, TextStyle());
        overlay.end();
        const omxtest::Image image = read();
        int dark = 0, light = 0;
        for (int y = 80; y < 106; ++y)
            for (int x = 20; x < 220; ++x) {
                const float brightness = (at(image, x, y).r + at(image, x, y).g + at(image, x, y).b) / 3.0f;
                dark += brightness < 0.25f;
                light += brightness > 0.85f;
            }
        // The white letters with their dark outline: both show whatever lies beneath.
        EXPECT_GT(dark, 150) << "on " << world.r;
        EXPECT_GT(light, 150) << "on " << world.r;
    }
}

TEST_F(OverlayDrawing, GivesBackTheGlStateItFound) {
    clear(glm::vec3(0.0f));
    glUseProgram(0);  // what an earlier test in this process left current does not count
    GLuint array = 0;
    glGenVertexArrays(1, &array);
    glBindVertexArray(array);
    glEnable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glViewport(5, 6, 70, 80);
    glActiveTexture(GL_TEXTURE2);
    glUseProgram(0);  // an earlier test's frame may have left its program current
    overlay.begin(width, height);
    overlay.rect(glm::vec2(10.0f, 10.0f), glm::vec2(20.0f, 20.0f), orange);
    overlay.text("ok", glm::vec2(50.0f, 50.0f), 20.0f, TextStyle());
    overlay.end();
    GLint value = 0;
    glGetIntegerv(GL_VERTEX_ARRAY_BINDING, &value);
    EXPECT_EQ(value, static_cast<GLint>(array));
    glGetIntegerv(GL_CURRENT_PROGRAM, &value);
    EXPECT_EQ(value, 0);
    glGetIntegerv(GL_ACTIVE_TEXTURE, &value);
    EXPECT_EQ(value, GL_TEXTURE2);
    glGetIntegerv(GL_BLEND_SRC_RGB, &value);
    EXPECT_EQ(value, GL_SRC_ALPHA);
    GLint viewport[4] = {0, 0, 0, 0};
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 70);
    EXPECT_EQ(viewport[3], 80);
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    glDisable(GL_DEPTH_TEST);
    glActiveTexture(GL_TEXTURE0);
    glBindVertexArray(0);
    glDeleteVertexArrays(1, &array);
    glBlendFunc(GL_ONE, GL_ZERO);
}

TEST_F(OverlayDrawing, DrawsAfterBeingDestroyedAndMadeAgain) {
    overlay.destroy();
    EXPECT_FALSE(overlay.ready());
    clear(glm::vec3(0.0f));
    overlay.begin(width, height);
    overlay.rect(glm::vec2(10.0f, 10.0f), glm::vec2(20.0f, 20.0f), orange);
    overlay.end();
    EXPECT_EQ(changedIn(read(), 0, 0, width, height), 0) << "a destroyed overlay drew";
    ASSERT_TRUE(overlay.init(shaderFolder));
    overlay.begin(width, height);
    overlay.rect(glm::vec2(10.0f, 10.0f), glm::vec2(20.0f, 20.0f), orange);
    overlay.end();
    EXPECT_EQ(changedIn(read(), 0, 0, width, height), 400);
}

TEST_F(OverlayDrawing, WithoutItsProgramItDrawsNothingAndFailsNothing) {
    omxtest::TempFolder folder("overlay-shaders");
    ASSERT_TRUE(folder.ok());
    const std::string good = omxtest::readFile(shaderFolder + "overlayshader.frag");
    ASSERT_FALSE(good.empty());
    // Missing files, an empty and a garbled vertex shader, and a folder in the place of the fragment shader.
    const struct {
        const char* name;
        const char* vertex;
        bool fragmentIsFolder;
    } damages[] = {{"missing", nullptr, false},
                   {"empty", "", false},
                   {"garbled", "#version 330 core\nvoid main( { gl_Position = }\n", false},
                   {"folder", "#version 330 core\nvoid main() { gl_Position = vec4(0.0); }\n", true}};
    for (const auto& damage : damages) {
        SCOPED_TRACE(damage.name);
        const std::string dir = folder / damage.name + "/";
        ASSERT_TRUE(omxtest::writeFile(dir + "placeholder", "x"));
        if (damage.vertex) {
            ASSERT_TRUE(omxtest::writeFile(dir + "overlayshader.vert", damage.vertex));
        }
        if (damage.fragmentIsFolder) {
            ASSERT_TRUE(omxtest::writeFile(dir + "overlayshader.frag/inside", "x"));
        } else if (damage.vertex) {
            ASSERT_TRUE(omxtest::writeFile(dir + "overlayshader.frag", good));
        }
        Overlay broken;
        bool built = true;
        omxtest::capturedStdout([&] { omxtest::capturedStderr([&] { built = broken.init(dir); }); });
        EXPECT_FALSE(built);
        EXPECT_FALSE(broken.ready());
        clear(glm::vec3(0.3f, 0.2f, 0.1f));
        broken.begin(width, height);
        broken.rect(glm::vec2(10.0f, 10.0f), glm::vec2(200.0f, 100.0f), orange);
        broken.disc(glm::vec2(300.0f, 200.0f), 40.0f, orange);
        broken.text("Paused", glm::vec2(100.0f, 250.0f), 30.0f, TextStyle());
        broken.end();
        EXPECT_EQ(changedIn(read(), 0, 0, width, height), 0);
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
        broken.destroy();
    }
}

namespace {

StatusInput crossWorld() {
    StatusInput input;
    const glm::vec2 places[5] = {{0.0f, 0.0f}, {2000.0f, 0.0f}, {0.0f, 2000.0f}, {-2000.0f, 0.0f}, {0.0f, -2000.0f}};
    for (std::size_t i = 0; i < 5; ++i) input.settlements[i].position = places[i];
    input.settlements[2].status = MarkStatus::ReadyToThrow;
    input.settlements[3].status = MarkStatus::Warning;
    input.settlements[4].status = MarkStatus::Won;
    input.cameraPosition = glm::vec2(1000.0f, 1000.0f);
    return input;
}

}  // namespace

TEST_F(OverlayDrawing, TheStatusDisplaysMarksLieWhereTheHitTestFindsThem) {
    for (const glm::ivec2& size : {glm::ivec2(1200, 800), glm::ivec2(1920, 1080)}) {
        SCOPED_TRACE(std::to_string(size.x) + " x " + std::to_string(size.y));
        makeTarget(size.x, size.y);
        clear(glm::vec3(0.25f, 0.45f, 0.2f));
        const StatusLayout layout = statusLayout(size.x, size.y);
        const StatusView view = statusView(crossWorld());
        overlay.begin(size.x, size.y);
        drawStatusDisplay(overlay, layout, view, {});
        overlay.end();
        const omxtest::Image image = read();
        for (std::size_t i = 0; i < 5; ++i) {
            const glm::vec2 centre = markCentre(layout, view.marks[i]);
            // Between the number and the border: the mark's own fill.
            const glm::vec2 fillPoint = centre + glm::vec2(0.0f, layout.markRadius * 0.65f);
            const glm::vec3 fill = at(image, static_cast<int>(fillPoint.x), static_cast<int>(fillPoint.y));
            EXPECT_LT(difference(fill, glm::vec3(view.marks[i].fill)), 0.06f) << "mark " << i + 1;
            EXPECT_EQ(markAt(layout, view, fillPoint), static_cast<int>(i));
        }
        // The gold of the ready mark, in the square round its centre.
        const glm::vec2 ready = markCentre(layout, view.marks[2]);
        EXPECT_GT(at(image, static_cast<int>(ready.x - layout.markRadius * 0.65f), static_cast<int>(ready.y)).r, 0.9f);
        // The camera's arrow, white, at its place.
        const glm::vec2 camera = glm::vec2(layout.map.x, layout.map.y) + view.camera.place * layout.map.width;
        EXPECT_GT(at(image, static_cast<int>(camera.x), static_cast<int>(camera.y)).g, 0.9f) << "the camera";
        EXPECT_GT(at(image, static_cast<int>(camera.x), static_cast<int>(camera.y)).b, 0.9f) << "the camera";
        // The world beyond the plate is untouched.
        EXPECT_EQ(changedIn(image, 0, 0, static_cast<int>(layout.plate.x) - 1, size.y), 0);
        EXPECT_GT(changedIn(image, static_cast<int>(layout.plate.x), static_cast<int>(layout.countsAnchor.y) - 12,
                            static_cast<int>(layout.plate.x + layout.plate.width), static_cast<int>(layout.countsAnchor.y) + 4),
                  100)
            << "the counts";
    }
}

TEST_F(OverlayDrawing, TheStatusDisplayShowsPausedSpeedAndMessages) {
    makeTarget(1200, 800);
    clear(glm::vec3(0.8f, 0.85f, 0.9f));
    const StatusLayout layout = statusLayout(1200, 800);
    StatusInput input = crossWorld();
    input.paused = true;
    input.speed = 3.0f;
    MessageLog log;
    StatusInput before = input;
    before.settlements[1].status = MarkStatus::Warning;
    input.settlements[1].status = MarkStatus::Lost;
    log.update(before, input, 0.016f);
    ASSERT_EQ(log.messages().size(), 1u);
    overlay.begin(1200, 800);
    drawStatusDisplay(overlay, layout, statusView(input), log.messages());
    overlay.end();
    const omxtest::Image image = read();
    // Pixels of the line's own colour (only the letters have it: the plate is dark, the world light).
    const auto lettersOf = [&](const glm::vec2& anchor, float size, const glm::vec3& colour) {
        int count = 0;
        for (int y = static_cast<int>(anchor.y - size); y < static_cast<int>(anchor.y); ++y)
            for (int x = static_cast<int>(anchor.x - 60.0f); x < static_cast<int>(anchor.x + 60.0f); ++x)
                count += difference(at(image, x, y), colour) < 0.06f;
        return count;
    };
    EXPECT_GT(lettersOf(layout.pausedAnchor, layout.pausedSize, glm::vec3(1.0f)), 100) << "Paused";
    EXPECT_GT(lettersOf(layout.speedAnchor, layout.speedSize, glm::vec3(1.0f, 0.9f, 0.6f)), 40) << "the speed";
    EXPECT_GT(lettersOf(layout.messageAnchor, layout.messageSize, glm::vec3(messageColour(MessageKind::Lost))), 40)
        << "the message";
    EXPECT_EQ(lettersOf(glm::vec2(600.0f, 500.0f), 30.0f, glm::vec3(1.0f)), 0) << "no letters in the world";
    EXPECT_EQ(changedIn(image, 0, 400, 200, 700), 0) << "the world at the left";
}

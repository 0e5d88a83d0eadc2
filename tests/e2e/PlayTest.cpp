// PlayTest.cpp -- a player's first minutes: skip the intro, read the controls, toggle switches, strike,
// pause, and lose the game by neglect.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <functional>

#include "support/EndToEnd.h"
#include "support/Image.h"
#include "support/Wait.h"

namespace {

// Frames of holding the time-scale key: the speed after them is 1 + 0.1 * frames.
constexpr size_t neglectSpeedFrames = 250;
constexpr size_t runningSpeedFrames = 50;
// Frames the paused world is watched for: at the running speed, seconds of the world's time.
constexpr size_t pausedFrames = 40;

std::string shotPath(const std::string& name) { return std::string(OMNIVEX_BINARY_DIR) + "/e2e-" + name + ".png"; }

class Play : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(display.ok());
        game = std::make_unique<omxtest::GameProcess>(std::vector<std::string>{"highestframerate"}, display.name());
        ASSERT_TRUE(game->waitForOutput("fbo recreate", 90.0)) << game->standardOutput() << game->standardError();
        ASSERT_TRUE(omxtest::waitForWindow(display.name(), "Omnivex", 10.0));
        // The game reads the keyboard once a tap of F (it prints the view) shows in its output.
        const auto tapF = [&] {
            if (count("dir: ") > 0) return true;
            key("f");
            return false;
        };
        ASSERT_TRUE(omxtest::waitUntil(tapF, 30.0, 0.5)) << game->standardOutput() << game->standardError();
    }
    void TearDown() override {
        if (game && game->running()) {
            omxtest::xdotool(display.name(), "key Escape");
            EXPECT_EQ(game->waitForExit(30.0), 0) << game->standardError();
        }
    }

    bool key(const std::string& name) { return omxtest::xdotool(display.name(), "key " + name) == 0; }
    // Presses a key and waits for the line it prints.
    bool keyPrints(const std::string& name, const std::string& line, size_t occurrence = 1) {
        return key(name) && waitForCount(line, occurrence, 10.0);
    }
    // Waits until `text` has been printed `occurrences` times (or the game ended, or the time ran out).
    bool waitForCount(const std::string& text, size_t occurrences, double timeoutSeconds) {
        omxtest::waitUntil([&] { return count(text) >= occurrences || !game->running(); }, timeoutSeconds);
        return count(text) >= occurrences;
    }
    // Holds F, which makes the game print its view ("dir: ", "up:  ") every frame, together with `alsoHeld`
    // (pressed before F, let go after it) until `done` holds; then one frame more, so that the frame which
    // met the condition is on the screen.
    bool holdForFrames(const std::function<bool()>& done, const std::vector<std::string>& alsoHeld = {}) {
        std::string down, up;
        for (const std::string& k : alsoHeld) {
            down += "keydown " + k + " ";
            up = " keyup " + k + up;
        }
        omxtest::xdotool(display.name(), down + "keydown f");
        bool held = omxtest::waitUntil([&] { return done() || !game->running(); }, 60.0) && done();
        if (held) held = waitForCount("dir: ", count("dir: ") + 1, 10.0);
        omxtest::xdotool(display.name(), "keyup f" + up);
        return held;
    }
    // Lets the game draw (at least) `frames` frames, counted by the view lines of F.
    bool runFrames(size_t frames, const std::vector<std::string>& alsoHeld = {}) {
        const size_t target = count("dir: ") + frames;
        return holdForFrames([&] { return count("dir: ") >= target; }, alsoHeld);
    }
    // The height of the view direction in the last line F printed; not a number before the first.
    double viewDirectionY() const {
        const std::string out = game->standardOutput();
        const size_t at = out.rfind("dir: ");
        double x = 0.0, y = NAN, z = 0.0;
        if (at != std::string::npos && std::sscanf(out.c_str() + at, "dir: %lf %lf %lf", &x, &y, &z) != 3) y = NAN;
        return y;
    }
    size_t count(const std::string& text) const {
        const std::string out = game->standardOutput();
        size_t n = 0;
        for (size_t at = out.find(text); at != std::string::npos; at = out.find(text, at + 1)) ++n;
        return n;
    }
    omxtest::Image shot(const std::string& name, const std::string& title = "Omnivex") {
        omxtest::Image image;
        const std::string path = shotPath(name);
        EXPECT_TRUE(omxtest::screenshotWindow(display.name(), title, path));
        EXPECT_TRUE(image.load(path)) << path;
        return image;
    }
    // Lines printed after the world was built (the intro's end prints three).
    std::vector<std::string> linesAfterStart() const {
        const std::string out = game->standardOutput();
        const std::string marker = "fbo recreate\n";
        std::vector<std::string> lines;
        size_t at = out.find(marker);
        if (at == std::string::npos) return lines;
        at += marker.size();
        for (size_t end = out.find('\n', at); end != std::string::npos; at = end + 1, end = out.find('\n', at)) {
            const std::string line = out.substr(at, end - at);
            // The automatic render scale reports its changes whenever they happen; F prints the view.
            if (line.rfind("Render scale: ", 0) != 0 && line.rfind("dir: ", 0) != 0 && line.rfind("up:  ", 0) != 0)
                lines.push_back(line);
        }
        return lines;
    }
    // F1 ends the intro: it prints the intro time, the camera position and direction, and the
    // controls panel comes up.
    void skipIntro() {
        ASSERT_TRUE(key("F1"));
        omxtest::waitUntil([&] { return linesAfterStart().size() >= 3 || !game->running(); }, 30.0);
        ASSERT_GE(linesAfterStart().size(), 3u) << game->standardOutput();
        ASSERT_TRUE(runFrames(2)) << "the controls panel is not drawn";
    }
    // Holds right Ctrl with a keypad key (by key code) for `frames` frames: the time scale changes by 0.1 in
    // each. Key codes, not names: xdotool would add the left Ctrl modifier to Control_R, which flies the camera
    // down.
    static constexpr const char* keypadPlus = "86";
    static constexpr const char* keypadMinus = "82";
    void holdTimeScaleKey(const std::string& keypadKey, size_t frames) {
        const std::string rightControl = "105";
        EXPECT_TRUE(runFrames(frames, {rightControl, keypadKey})) << "the game stopped drawing";
    }
    // Takes screenshots until the region differs from `reference` by more than `threshold`.
    double waitForChange(const omxtest::Image& reference, const std::string& name, int x0, int y0, int x1, int y1,
                         double threshold, double timeoutSeconds, const std::string& title = "Omnivex") {
        double difference = 0.0;
        omxtest::waitUntil(
            [&] {
                difference = shot(name, title).meanDifference(reference, x0, y0, x1, y1);
                return difference > threshold;
            },
            timeoutSeconds, 0.5);
        return difference;
    }

    omxtest::VirtualDisplay display;
    std::unique_ptr<omxtest::GameProcess> game;
};

TEST_F(Play, LookingUpShowsSkyAboveAndGroundBelow) {
    skipIntro();
    ASSERT_TRUE(key("F1"));  // close the controls panel
    // Two wheel notches tilt the view 30 degrees up, so the horizon comes into view: from 45 degrees down
    // to 15, where the printed view comes to rest.
    omxtest::xdotool(display.name(), "mousemove --sync 600 400 click 4 click 4");
    EXPECT_TRUE(holdForFrames([&] { return std::abs(viewDirectionY() + 0.258819) < 0.002; }))
        << "the view did not come to rest 15 degrees down: " << viewDirectionY();
    const omxtest::Image view = shot("sky-and-ground");
    ASSERT_GT(view.width, 100);
    const int w = view.width, h = view.height;
    const double top = view.meanBrightness(0, 0, w, h / 8);
    const double bottom = view.meanBrightness(0, h * 7 / 8, w, h);
    EXPECT_GT(top, 40.0);     // a lit sky, not an empty frame
    EXPECT_GT(bottom, 10.0);  // the ground is drawn
    EXPECT_GT(std::abs(top - bottom), 5.0);
}

TEST_F(Play, F1EndsTheIntroAndShowsTheControlsPanelUntilPressedAgain) {
    skipIntro();
    const std::vector<std::string> lines = linesAfterStart();
    // The intro time, then the camera's position and direction, each number followed by a blank.
    EXPECT_GT(std::stod(lines[0]), 0.0);
    EXPECT_EQ(std::count(lines[1].begin(), lines[1].end(), ' '), 3) << lines[1];
    EXPECT_EQ(std::count(lines[2].begin(), lines[2].end(), ' '), 3) << lines[2];
    const omxtest::Image withPanel = shot("controls-panel");
    const int w = withPanel.width, h = withPanel.height;
    // The panel is a dark board in the middle of the view.
    EXPECT_LT(withPanel.meanBrightness(w / 3, h / 3, w * 2 / 3, h * 2 / 3), 90.0);
    ASSERT_TRUE(key("F1"));
    // Closing it changes the middle far more than the world moves.
    EXPECT_GT(waitForChange(withPanel, "after-controls-panel", w / 4, h / 4, w * 3 / 4, h * 3 / 4, 25.0, 20.0), 25.0);
}

TEST_F(Play, SwitchKeysPrintTheirNewValues) {
    skipIntro();
    EXPECT_TRUE(keyPrints("F3", "WireFrame: 1\n"));
    EXPECT_TRUE(keyPrints("F3", "WireFrame: 0\n"));
    EXPECT_TRUE(keyPrints("F4", "TriLinear: 0\n"));
    EXPECT_TRUE(keyPrints("F5", "MipMapping: 0\n"));
    EXPECT_TRUE(keyPrints("F9", "Transparency: 0\n"));
    EXPECT_EQ(count("Drawn Objects: "), 0u);
    EXPECT_TRUE(keyPrints("F8", "FrustumCulling: 1\n"));
    // With culling on, the object counts come once a second.
    EXPECT_TRUE(keyPrints("F2", "Drawn Objects: ", 2)) << game->standardOutput();
    EXPECT_GE(count("Fps: "), 1u);
}

TEST_F(Play, ALeftClickOnTheGroundShowsTheLightningStrike) {
    skipIntro();
    ASSERT_TRUE(key("F1"));  // close the controls panel
    ASSERT_TRUE(runFrames(2));
    const int w = 1200, h = 800;
    const std::string clickAt = "mousemove --sync " + std::to_string(w / 2) + " " + std::to_string(h * 2 / 3) + " click 1";
    // The first strike of a run makes the software renderer compile its shader variant; let that pass, and the
    // half-second strike end: two frame-rate lines (F2) come at least a second of the game's time apart.
    ASSERT_TRUE(key("F2"));
    EXPECT_EQ(omxtest::xdotool(display.name(), clickAt), 0);
    EXPECT_TRUE(waitForCount("Fps: ", count("Fps: ") + 2, 30.0)) << game->standardOutput();
    ASSERT_TRUE(key("F2"));
    // Slow the game down to its slowest, so the half-second strike lasts seconds: nine steps of 0.1 from 1.
    holdTimeScaleKey(keypadMinus, 12);
    const omxtest::Image before = shot("before-strike");
    ASSERT_EQ(before.width, w);
    // The bolt comes down from the upper right of the view to the click. Screenshots hold the X server
    // while they copy, so leave the game time to draw between them; on a loaded machine a frame can take
    // longer than the strike, so click again (a click restarts the strike) before giving up.
    // The pointer is already there: a move to where it is would keep xdotool waiting for motion.
    double strongest = 0.0;
    for (int click = 0; click < 3 && strongest <= 3.0; ++click) {
        EXPECT_EQ(omxtest::xdotool(display.name(), "click 1"), 0);
        for (int i = 0; i < 6 && strongest <= 3.0; ++i) {
            ASSERT_TRUE(runFrames(2)) << "the game stopped drawing";
            strongest = std::max(strongest, shot("strike").meanDifference(before, w / 2, 0, w, h / 2));
        }
    }
    EXPECT_GT(strongest, 3.0) << game->standardOutput() << game->standardError();
}

TEST_F(Play, NeglectedSettlementsDarkenTheWorldAndLoseTheGame) {
    skipIntro();
    ASSERT_TRUE(key("F1"));  // close the controls panel
    ASSERT_TRUE(runFrames(2));
    const omxtest::Image start = shot("neglect-start");
    ASSERT_GT(start.width, 100);
    const int w = start.width, h = start.height;
    // The ground in front of the camera.
    const auto ground = [&](const omxtest::Image& image) { return image.meanBrightness(0, h * 3 / 4, w, h); };
    const double startGround = ground(start);
    // Nobody helps: speed the game up so that the grenades decay within seconds.
    holdTimeScaleKey(keypadPlus, neglectSpeedFrames);
    double darkestGround = startGround;
    const auto losePanel = [&] {
        const omxtest::Image now = shot("neglect");
        const std::array<double, 3> middle = now.meanColour(w / 3, h / 3, w * 2 / 3, h * 2 / 3);
        // The lose picture: a dark red board in the middle of the view.
        const bool shown = middle[0] > 2.0 * middle[1] && middle[0] > 2.0 * middle[2] && middle[0] > 40.0;
        if (!shown) darkestGround = std::min(darkestGround, ground(now));
        return shown;
    };
    EXPECT_TRUE(omxtest::waitUntil(losePanel, 180.0, 1.0)) << "the lose panel did not come up";
    // While the settlements turned bad, the same view darkened before the game ended.
    EXPECT_LT(darkestGround, 0.75 * startGround) << "start " << startGround;
}

// Two screenshots of a world standing still are the same picture.
TEST_F(Play, PStopsTheWorldTheCameraStillFliesAndLosingTheFocusPauses) {
    skipIntro();
    ASSERT_TRUE(key("F1"));  // close the controls panel
    // Speed the game up, so its people and statues visibly move.
    holdTimeScaleKey(keypadPlus, runningSpeedFrames);
    const omxtest::Image running1 = shot("running-1");
    ASSERT_GT(running1.width, 100);
    const int w = running1.width, h = running1.height;
    const double runningChange = waitForChange(running1, "running-2", 0, 0, w, h, 0.05, 20.0);
    EXPECT_GT(runningChange, 0.05) << "the running world should change the picture";

    ASSERT_TRUE(key("p"));
    ASSERT_TRUE(omxtest::waitForWindow(display.name(), "Omnivex (paused)", 10.0));
    ASSERT_TRUE(runFrames(2));
    const std::string pausedTitle = "Omnivex (paused)";
    const omxtest::Image paused1 = shot("paused-1", pausedTitle);
    ASSERT_TRUE(runFrames(pausedFrames));
    EXPECT_LT(shot("paused-2", pausedTitle).meanDifference(paused1, 0, 0, w, h), 0.01) << "the paused world moved";
    // The camera still flies, and the picture follows it.
    omxtest::xdotool(display.name(), "keydown w");
    const double flown = waitForChange(paused1, "paused-flown", 0, 0, w, h, 1.0, 20.0, pausedTitle);
    omxtest::xdotool(display.name(), "keyup w");
    EXPECT_GT(flown, 1.0);
    ASSERT_TRUE(key("p"));
    ASSERT_TRUE(omxtest::waitForWindow(display.name(), "Omnivex", 10.0));

    // Switching to another window pauses the game; coming back leaves it paused until P.
    ASSERT_TRUE(omxtest::focusWindow(display.name(), "Omnivex"));
    ASSERT_TRUE(omxtest::focusWindow(display.name(), ""));
    ASSERT_TRUE(omxtest::waitForWindow(display.name(), "Omnivex (paused)", 10.0));
    ASSERT_TRUE(omxtest::focusWindow(display.name(), "Omnivex (paused)"));
    ASSERT_TRUE(runFrames(3)) << "the game does not read the keyboard after the focus came back";
    EXPECT_TRUE(omxtest::waitForWindow(display.name(), "Omnivex (paused)", 0.5));
    ASSERT_TRUE(key("p"));
    EXPECT_TRUE(omxtest::waitForWindow(display.name(), "Omnivex", 10.0));
}

}  // namespace

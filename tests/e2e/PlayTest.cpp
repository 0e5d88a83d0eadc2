// PlayTest.cpp -- a player's first minutes: skip the intro, read the controls, toggle switches, strike,
// pause, and lose the game by neglect.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <thread>

#include "support/EndToEnd.h"
#include "support/Image.h"

namespace {

void pause(double seconds) { std::this_thread::sleep_for(std::chrono::duration<double>(seconds)); }

std::string shotPath(const std::string& name) { return std::string(OMNIVEX_BINARY_DIR) + "/e2e-" + name + ".png"; }

class Play : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(display.ok());
        game = std::make_unique<omxtest::GameProcess>(std::vector<std::string>{"highestframerate"}, display.name());
        ASSERT_TRUE(game->waitForOutput("fbo recreate", 90.0)) << game->standardOutput() << game->standardError();
        ASSERT_TRUE(omxtest::waitForWindow(display.name(), "Omnivex", 10.0));
        pause(1.0);
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
        if (!key(name)) return false;
        for (int i = 0; i < 100; ++i) {
            if (count(line) >= occurrence) return true;
            pause(0.1);
        }
        return false;
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
            // The automatic render scale reports its changes whenever they happen.
            if (line.rfind("Render scale: ", 0) != 0) lines.push_back(line);
        }
        return lines;
    }
    // F1 ends the intro: it prints the intro time, the camera position and direction, and the
    // controls panel comes up.
    void skipIntro() {
        ASSERT_TRUE(key("F1"));
        for (int i = 0; i < 300 && linesAfterStart().size() < 3; ++i) pause(0.1);
        ASSERT_GE(linesAfterStart().size(), 3u) << game->standardOutput();
        pause(1.0);
    }
    // Holds right Ctrl with a keypad key (by key code) so that the time scale changes every frame meanwhile.
    // Key codes, not names: xdotool would add the left Ctrl modifier to Control_R, which flies the camera down.
    static constexpr const char* keypadPlus = "86";
    static constexpr const char* keypadMinus = "82";
    void holdTimeScaleKey(const std::string& keypadKey, double seconds) {
        const std::string rightControl = "105";
        omxtest::xdotool(display.name(), "keydown " + rightControl + " keydown " + keypadKey);
        pause(seconds);
        omxtest::xdotool(display.name(), "keyup " + keypadKey + " keyup " + rightControl);
    }
    // Takes screenshots until the region differs from `reference` by more than `threshold`.
    double waitForChange(const omxtest::Image& reference, const std::string& name, int x0, int y0, int x1, int y1,
                         double threshold, double timeoutSeconds) {
        double difference = 0.0;
        for (double waited = 0.0; waited < timeoutSeconds; waited += 0.5) {
            difference = shot(name).meanDifference(reference, x0, y0, x1, y1);
            if (difference > threshold) break;
            pause(0.5);
        }
        return difference;
    }

    omxtest::VirtualDisplay display;
    std::unique_ptr<omxtest::GameProcess> game;
};

TEST_F(Play, LookingUpShowsSkyAboveAndGroundBelow) {
    skipIntro();
    ASSERT_TRUE(key("F1"));  // close the controls panel
    // Two wheel notches tilt the view 30 degrees up, so the horizon comes into view.
    omxtest::xdotool(display.name(), "mousemove --sync 600 400 click 4 click 4");
    pause(1.5);
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
    pause(1.0);
    const int w = 1200, h = 800;
    const std::string clickAt = "mousemove --sync " + std::to_string(w / 2) + " " + std::to_string(h * 2 / 3) + " click 1";
    // The first strike of a run makes the software renderer compile its shader variant; let that pass.
    EXPECT_EQ(omxtest::xdotool(display.name(), clickAt), 0);
    pause(3.0);
    // Slow the game down to its slowest, so the half-second strike lasts seconds.
    holdTimeScaleKey(keypadMinus, 4.0);
    const omxtest::Image before = shot("before-strike");
    ASSERT_EQ(before.width, w);
    // The bolt comes down from the upper right of the view to the click. Screenshots hold the X server
    // while they copy, so leave the game time to draw between them; on a loaded machine a frame can take
    // longer than the strike, so click again (a click restarts the strike) before giving up.
    double strongest = 0.0;
    for (int click = 0; click < 3 && strongest <= 3.0; ++click) {
        EXPECT_EQ(omxtest::xdotool(display.name(), clickAt), 0);
        for (int i = 0; i < 6 && strongest <= 3.0; ++i) {
            pause(1.0);
            strongest = std::max(strongest, shot("strike").meanDifference(before, w / 2, 0, w, h / 2));
        }
    }
    EXPECT_GT(strongest, 3.0) << game->standardOutput() << game->standardError();
}

TEST_F(Play, NeglectedSettlementsDarkenTheWorldAndLoseTheGame) {
    skipIntro();
    ASSERT_TRUE(key("F1"));  // close the controls panel
    pause(1.0);
    const omxtest::Image start = shot("neglect-start");
    ASSERT_GT(start.width, 100);
    const int w = start.width, h = start.height;
    // The ground in front of the camera.
    const auto ground = [&](const omxtest::Image& image) { return image.meanBrightness(0, h * 3 / 4, w, h); };
    const double startGround = ground(start);
    // Nobody helps: speed the game up so that the grenades decay within seconds.
    holdTimeScaleKey(keypadPlus, 5.0);
    double darkestGround = startGround;
    bool losePanel = false;
    for (double waited = 0.0; waited < 180.0 && !losePanel; waited += 2.0) {
        pause(2.0);
        const omxtest::Image now = shot("neglect");
        const std::array<double, 3> middle = now.meanColour(w / 3, h / 3, w * 2 / 3, h * 2 / 3);
        // The lose picture: a dark red board in the middle of the view.
        losePanel = middle[0] > 2.0 * middle[1] && middle[0] > 2.0 * middle[2] && middle[0] > 40.0;
        if (!losePanel) darkestGround = std::min(darkestGround, ground(now));
    }
    EXPECT_TRUE(losePanel) << "the lose panel did not come up";
    // While the settlements turned bad, the same view darkened before the game ended.
    EXPECT_LT(darkestGround, 0.75 * startGround) << "start " << startGround;
}

// Two screenshots of a world standing still are the same picture.
TEST_F(Play, PStopsTheWorldTheCameraStillFliesAndLosingTheFocusPauses) {
    skipIntro();
    ASSERT_TRUE(key("F1"));  // close the controls panel
    // Speed the game up, so its people and statues visibly move.
    holdTimeScaleKey(keypadPlus, 2.0);
    const omxtest::Image running1 = shot("running-1");
    ASSERT_GT(running1.width, 100);
    const int w = running1.width, h = running1.height;
    pause(2.0);
    const double runningChange = shot("running-2").meanDifference(running1, 0, 0, w, h);
    EXPECT_GT(runningChange, 0.05) << "the running world should change the picture";

    ASSERT_TRUE(key("p"));
    ASSERT_TRUE(omxtest::waitForWindow(display.name(), "Omnivex (paused)", 10.0));
    pause(1.0);
    const std::string pausedTitle = "Omnivex (paused)";
    const omxtest::Image paused1 = shot("paused-1", pausedTitle);
    pause(3.0);
    EXPECT_LT(shot("paused-2", pausedTitle).meanDifference(paused1, 0, 0, w, h), 0.01) << "the paused world moved";
    // The camera still flies, and the picture follows it.
    omxtest::xdotool(display.name(), "keydown w");
    pause(1.0);
    omxtest::xdotool(display.name(), "keyup w");
    pause(1.0);
    EXPECT_GT(shot("paused-flown", pausedTitle).meanDifference(paused1, 0, 0, w, h), 1.0);
    ASSERT_TRUE(key("p"));
    ASSERT_TRUE(omxtest::waitForWindow(display.name(), "Omnivex", 10.0));

    // Switching to another window pauses the game; coming back leaves it paused until P.
    ASSERT_TRUE(omxtest::focusWindow(display.name(), "Omnivex"));
    ASSERT_TRUE(omxtest::focusWindow(display.name(), ""));
    ASSERT_TRUE(omxtest::waitForWindow(display.name(), "Omnivex (paused)", 10.0));
    ASSERT_TRUE(omxtest::focusWindow(display.name(), "Omnivex (paused)"));
    pause(1.0);
    EXPECT_TRUE(omxtest::waitForWindow(display.name(), "Omnivex (paused)", 0.5));
    ASSERT_TRUE(key("p"));
    EXPECT_TRUE(omxtest::waitForWindow(display.name(), "Omnivex", 10.0));
}

}  // namespace

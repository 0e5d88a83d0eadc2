// StatusDisplayTest.cpp -- the status display in the real game with real X input: the intro says how to skip it,
// H hides and shows the display and nothing else, P puts "Paused" on the screen, and the keys 1 to 5 and a click
// on a settlement's mark fly the camera there.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <functional>
#include <map>
#include <regex>
#include <thread>

#include "game/GameStatus.h"
#include "support/EndToEnd.h"
#include "support/GameBuilders.h"
#include "support/Image.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr unsigned seed = 7;
constexpr int width = 1200, height = 800;

// Polls `done` every tenth of a second until it holds or `seconds` have passed; returns whether it held.
bool waitUntil(const std::function<bool()>& done, double seconds) {
    const auto start = Clock::now();
    for (;;) {
        if (done()) return true;
        if (std::chrono::duration<double>(Clock::now() - start).count() > seconds) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
}

// A pixel rectangle [x0, x1) x [y0, y1) from the top-left corner.
struct Box {
    int x0, y0, x1, y1;
};

Box around(const PixelRect& r, int margin = 0) {
    return Box{static_cast<int>(r.x) - margin, static_cast<int>(r.y) - margin,
               static_cast<int>(r.x + r.width) + margin, static_cast<int>(r.y + r.height) + margin};
}

double difference(const omxtest::Image& a, const omxtest::Image& b, const Box& box) {
    return a.meanDifference(b, box.x0, box.y0, box.x1, box.y1);
}

// Pixels of the box that are nearly white in every channel: the letters of the display's lines.
int whitePixels(const omxtest::Image& image, const Box& box) {
    int count = 0;
    for (int y = std::max(box.y0, 0); y < std::min(box.y1, image.height); ++y)
        for (int x = std::max(box.x0, 0); x < std::min(box.x1, image.width); ++x) {
            const unsigned char* p = &image.rgba[(static_cast<std::size_t>(y) * image.width + x) * 4];
            if (p[0] > 225 && p[1] > 225 && p[2] > 225) ++count;
        }
    return count;
}

class StatusDisplay : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(display.ok());
        // A fixed render scale: the picture of a world standing still stays the same from frame to frame.
        game = std::make_unique<omxtest::GameProcess>(
            std::vector<std::string>{"--seed", std::to_string(seed), "--render-scale", "0.5", "highestframerate"},
            display.name());
        ASSERT_TRUE(game->waitForOutput("fbo recreate", 90.0)) << game->standardOutput() << game->standardError();
        ASSERT_TRUE(omxtest::waitForWindow(display.name(), "Omnivex", 10.0));
    }
    void TearDown() override {
        // The last picture of each name, for a look at what went wrong.
        if (HasFailure())
            for (const auto& [name, image] : shots) image.save(std::string(OMNIVEX_BINARY_DIR) + "/e2e-status-" + name + ".png");
        if (game && game->running()) {
            omxtest::xdotool(display.name(), "key Escape");
            EXPECT_EQ(game->waitForExit(30.0), 0) << game->standardError();
        }
    }

    bool key(const std::string& name) { return omxtest::xdotool(display.name(), "key " + name) == 0; }
    std::string title() const { return paused ? "Omnivex (paused)" : "Omnivex"; }
    omxtest::Image shot(const std::string& name) {
        omxtest::Image image;
        EXPECT_TRUE(omxtest::captureWindow(display.name(), title(), image)) << "no window titled " << title();
        shots[name] = image;
        return image;
    }
    // Screenshots until two in a row are the same picture (the world and the camera stand still).
    omxtest::Image stillShot(const std::string& name) {
        omxtest::Image last = shot(name);
        waitUntil(
            [&] {
                omxtest::Image next = shot(name);
                const bool same = next.meanDifference(last, 0, 0, width, height) < 0.01;
                last = std::move(next);
                return same;
            },
            20.0);
        return last;
    }
    // Screenshots until the box differs from `reference` by more than `threshold`; the last one.
    omxtest::Image changedShot(const omxtest::Image& reference, const Box& box, double threshold,
                               const std::string& name) {
        omxtest::Image last;
        waitUntil(
            [&] {
                last = shot(name);
                return difference(last, reference, box) > threshold;
            },
            20.0);
        return last;
    }
    size_t linesAfterStart() const {
        const std::string out = game->standardOutput();
        const size_t at = out.find("fbo recreate\n");
        size_t lines = 0;
        for (size_t p = out.find('\n', at + 13); at != std::string::npos && p != std::string::npos;
             p = out.find('\n', p + 1)) {
            const size_t begin = out.rfind('\n', p - 1) + 1;
            if (out.compare(begin, 14, "Render scale: ") != 0) ++lines;
        }
        return lines;
    }
    // F1 ends the intro (its end prints three lines); a second F1 closes the controls panel, which is gone when
    // the middle of the window has changed.
    void startPlaying() {
        ASSERT_TRUE(key("F1"));
        ASSERT_TRUE(waitUntil([&] { return linesAfterStart() >= 3; }, 30.0)) << game->standardOutput();
        const Box middle{width / 4, height / 4, width * 3 / 4, height * 3 / 4};
        omxtest::Image panel;
        ASSERT_TRUE(waitUntil(
            [&] {
                panel = shot("controls-panel");
                return panel.meanBrightness(middle.x0, middle.y0, middle.x1, middle.y1) < 90.0;
            },
            20.0))
            << "no controls panel";
        ASSERT_TRUE(key("F1"));
        changedShot(panel, middle, 25.0, "play");
    }
    void pressP() {
        ASSERT_TRUE(key("p"));
        paused = !paused;
        ASSERT_TRUE(omxtest::waitForWindow(display.name(), title(), 10.0));
    }

    // Presses F and waits for the view direction it prints.
    glm::vec3 printedDirection() {
        const auto directions = [&] {
            std::vector<glm::vec3> found;
            const std::string out = game->standardOutput();
            static const std::regex line("dir: (\\S+) (\\S+) (\\S+) \n");
            for (std::sregex_iterator it(out.begin(), out.end(), line), end; it != end; ++it)
                found.emplace_back(std::stof((*it)[1]), std::stof((*it)[2]), std::stof((*it)[3]));
            return found;
        };
        const size_t before = directions().size();
        EXPECT_TRUE(key("f"));
        EXPECT_TRUE(waitUntil([&] { return directions().size() > before; }, 10.0));
        const std::vector<glm::vec3> now = directions();
        return now.empty() ? glm::vec3(0.0f) : now.back();
    }
    // The view direction once the camera has stopped after flying away from `before`.
    glm::vec3 directionAfterFlight(const glm::vec3& before) {
        glm::vec3 last = printedDirection();
        bool stopped = false;
        waitUntil(
            [&] {
                const glm::vec3 next = printedDirection();
                stopped = next == last && next != before;
                last = next;
                return stopped;
            },
            25.0);
        EXPECT_TRUE(stopped) << "the camera did not come to rest";
        return last;
    }

    omxtest::VirtualDisplay display;
    std::unique_ptr<omxtest::GameProcess> game;
    bool paused = false;
    std::map<std::string, omxtest::Image> shots;
    const StatusLayout layout = statusLayout(width, height);
};

TEST_F(StatusDisplay, TheIntroSaysHowToSkipItOnALineThatHHides) {
    // The line sits where the messages go, at the bottom of the window.
    const Box line{width / 2 - 150, static_cast<int>(layout.messageAnchor.y) - 22, width / 2 + 150,
                   static_cast<int>(layout.messageAnchor.y) + 8};
    omxtest::Image intro;
    EXPECT_TRUE(waitUntil(
        [&] {
            intro = shot("intro");
            return whitePixels(intro, line) > 150;
        },
        20.0))
        << "no line of white letters: " << whitePixels(intro, line) << " white pixels";
    ASSERT_TRUE(key("h"));
    omxtest::Image hidden;
    EXPECT_TRUE(waitUntil(
        [&] {
            hidden = shot("intro-hidden");
            return whitePixels(hidden, line) < 10;
        },
        20.0))
        << whitePixels(hidden, line) << " white pixels left";
}

TEST_F(StatusDisplay, HHidesAndShowsTheDisplayAndLeavesTheRestOfTheFrameAlone) {
    startPlaying();
    const Box pausedLines{width / 2 - 100, 0, width / 2 + 100, static_cast<int>(layout.hintAnchor.y) + 10};
    const omxtest::Image playing = shot("playing");
    pressP();  // the world stands still, once a frame with "Paused" on it has been drawn
    changedShot(playing, pausedLines, 10.0, "paused");
    const omxtest::Image shown = stillShot("shown");
    const Box map = around(layout.plate, 2);
    ASSERT_TRUE(key("h"));
    changedShot(shown, map, 5.0, "hidden");
    const omxtest::Image hidden = stillShot("hidden");
    EXPECT_GT(difference(hidden, shown, map), 10.0) << "the map is still there";
    EXPECT_GT(difference(hidden, shown, pausedLines), 10.0) << "\"Paused\" is still there";
    // Everything else: the left of the window and the right under the map, between the top lines and the
    // messages.
    const Box left{0, pausedLines.y1, map.x0, static_cast<int>(layout.messageAnchor.y) - 40};
    const Box underMap{map.x0, map.y1, width, left.y1};
    EXPECT_LT(difference(hidden, shown, left), 0.05);
    EXPECT_LT(difference(hidden, shown, underMap), 0.05);
    ASSERT_TRUE(key("h"));
    changedShot(hidden, map, 5.0, "shown-again");
    EXPECT_LT(difference(stillShot("shown-again"), shown, Box{0, 0, width, height}), 0.05);
}

TEST_F(StatusDisplay, PPutsPausedOnTheScreen) {
    startPlaying();
    // The word's box, and one as large beside it where only the world is.
    const int top = static_cast<int>(layout.pausedAnchor.y - layout.pausedSize * 0.8f);
    const Box word{width / 2 - 60, top, width / 2 + 60, static_cast<int>(layout.pausedAnchor.y) + 4};
    const Box beside{word.x0 - 300, word.y0, word.x1 - 300, word.y1};
    const omxtest::Image running = shot("running");
    pressP();
    const omxtest::Image pausedShot = changedShot(running, word, 15.0, "paused");
    EXPECT_GT(difference(pausedShot, running, word), 15.0);
    EXPECT_GT(whitePixels(pausedShot, word), whitePixels(running, word) + 200) << "no white letters";
    EXPECT_LT(difference(pausedShot, running, beside), 5.0) << "the world itself changed that much";
    pressP();
    const omxtest::Image resumed = changedShot(pausedShot, word, 15.0, "resumed");
    EXPECT_LT(whitePixels(resumed, word), whitePixels(pausedShot, word) - 200) << "\"Paused\" stays after P";
}

// The same seed builds the same world here, where each flight is flown again frame by frame: the game's camera
// comes to rest looking as the camera flown here does at the end of the same flight, and more so than at the end
// of a flight to any other settlement.
TEST_F(StatusDisplay, KeysOneToFiveAndAClickOnAMarkFlyToEachSettlement) {
    omxtest::World world(seed);
    world.startPlaying();
    world.run(0.1f, 0.1f);
    ASSERT_NE(game->standardOutput().find(world.buildOutput), std::string::npos)
        << "the game built another world:\n" << world.buildOutput;
    Game& here = *world.game;
    startPlaying();
    glm::vec3 direction = printedDirection();
    ASSERT_LT(glm::distance(direction, here.camera->direction), 1e-3f) << "the flights start from another view";
    // Where the camera would rest after flying from the same spot to each settlement.
    const auto restingDirection = [&](int settlement) {
        omxtest::World again(seed);
        again.startPlaying();
        again.game->camera->position = here.camera->position;
        again.game->camera->direction = here.camera->direction;
        again.game->flyToSettlement(settlement);
        for (int frame = 0; frame < 30 * 60 && again.game->camera->target; ++frame) again.run(1.0f / 30.0f, 1.0f / 30.0f);
        return again.game->camera->direction;
    };
    const auto flyAndCheck = [&](int settlement, const std::function<void()>& start) {
        SCOPED_TRACE("settlement " + std::to_string(settlement + 1));
        start();
        direction = directionAfterFlight(direction);
        here.flyToSettlement(settlement);
        for (int frame = 0; frame < 30 * 60 && here.camera->target; ++frame) world.run(1.0f / 30.0f, 1.0f / 30.0f);
        ASSERT_EQ(here.camera->target, nullptr);
        const float off = glm::degrees(std::acos(std::fmin(1.0f, glm::dot(direction, here.camera->direction))));
        // Frame times differ between the two flights, and a long frame of the game's moves it a long way.
        EXPECT_LT(off, 15.0f) << "the camera came to rest looking elsewhere";
        // Flown to any other settlement, it would look another way.
        for (int other = 0; other < 5; ++other) {
            if (other == settlement) continue;
            const float otherOff =
                glm::degrees(std::acos(std::fmin(1.0f, glm::dot(direction, restingDirection(other)))));
            EXPECT_GT(otherOff, off) << "as if flown to settlement " << other + 1;
        }
    };
    for (int i = 0; i < 5; ++i) flyAndCheck(i, [&] { ASSERT_TRUE(key(std::to_string(i + 1))); });
    // The mark of settlement 2 on the map, where the game draws it.
    const glm::vec2 mark = markCentre(layout, statusView(here.statusNow).marks[1]);
    flyAndCheck(1, [&] {
        const std::string at = std::to_string(static_cast<int>(mark.x)) + " " + std::to_string(static_cast<int>(mark.y));
        ASSERT_EQ(omxtest::xdotool(display.name(), "mousemove --sync " + at + " click 1"), 0);
    });
}

}  // namespace

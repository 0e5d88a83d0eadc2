// InputStormTest.cpp -- the real game under a storm of random X input: keys held and tapped, every mouse button,
// the wheel, moves in and out of the window, resizes down to one pixel and back, the window hidden and shown.
// Afterwards Escape must still end it with status 0, with no GL error line and no sanitizer report.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "support/EndToEnd.h"
#include "support/Wait.h"

namespace {

#if defined(__SANITIZE_ADDRESS__)
// The sanitizer build handles each event many times slower: a shorter storm, more time to leave.
constexpr double stormSeconds = 30.0;
constexpr double drainSeconds = 120.0;
#else
constexpr double stormSeconds = 40.0;
constexpr double drainSeconds = 60.0;
#endif
constexpr int commandsPerBatch = 120;

// The window id of the game's window as xdotool prints it, or "" when there is none.
std::string gameWindow(const std::string& display) {
    std::FILE* pipe = popen(("DISPLAY=" + display + " xdotool search --name '^Omnivex$' 2>/dev/null").c_str(), "r");
    char line[64] = {};
    const bool got = pipe && std::fgets(line, sizeof line, pipe) != nullptr;
    if (pipe) pclose(pipe);
    return got ? std::to_string(std::strtoul(line, nullptr, 10)) : "";
}

int countOf(const std::string& text, const std::string& part) {
    int count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
    return count;
}

// Polls `done` until it holds, the time runs out or the game ends.
template <typename Done>
bool waitFor(Done done, double seconds, omxtest::GameProcess& game) {
    omxtest::waitUntil([&] { return done() || !game.running(); }, seconds, 0.02);
    return done();
}

// Keys of every kind the game reads and many it does not; Escape is left out, it ends the game.
const std::vector<std::string> stormKeys = {
    "a", "d", "f", "s", "w", "q", "e", "r", "x", "z", "1", "2", "0", "space", "Tab", "Return", "BackSpace",
    "Left", "Right", "Up", "Down", "F1", "F2", "F3", "F4", "F5", "F6", "F7", "F8", "F9", "F10", "F11", "F12",
    "KP_Add", "KP_Subtract", "KP_0", "KP_5", "Control_L", "Control_R", "Shift_L", "Alt_L", "Super_L", "Menu",
    "Page_Up", "Page_Down", "Home", "End", "Delete", "Insert"};

// One xdotool command line of random input for the window `id`; counts the events it makes. xdotool stops a
// chain at its first failing command, so the window is only addressed in ways that hold in its current state
// (hidden or shown) and every batch ends with it shown and focused again.
std::string stormBatch(std::mt19937& random, const std::string& id, int& events) {
    const auto pick = [&random](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    std::string batch;
    std::vector<std::string> held;
    bool hidden = false;
    const std::string show = " windowmap --sync " + id + " windowfocus " + id;
    for (int i = 0; i < commandsPerBatch; ++i) {
        const int kind = pick(100);
        const std::string& key = stormKeys[static_cast<size_t>(pick(static_cast<int>(stormKeys.size())))];
        if (kind < 30) {
            batch += " key --delay 0 " + key;
        } else if (kind < 38) {
            batch += " keydown " + key;
            held.push_back(key);
        } else if (kind < 60) {
            // Beyond a small window too.
            const std::string x = std::to_string(pick(1500)), y = std::to_string(pick(1100));
            batch += hidden ? " mousemove " + x + " " + y : " mousemove --window " + id + " " + x + " " + y;
        } else if (kind < 80) {
            batch += " click --delay 0 " + std::to_string(1 + pick(9));  // 4 to 7 are the wheel
        } else if (kind < 86) {
            const int button = 1 + pick(3);
            batch += " mousedown " + std::to_string(button) + " mouseup " + std::to_string(button);
        } else if (kind < 93) {
            const int sizes[] = {1, 2, 7, 64, 300, 1200, 1279};
            batch += " windowsize " + id + " " + std::to_string(sizes[pick(7)]) + " " + std::to_string(sizes[pick(7)]);
        } else if (kind < 97) {
            // Without a window manager the keyboard follows the pointer until a window takes the focus.
            batch += hidden ? " mousemove 1 1" : " windowfocus " + id;
        } else {
            // The window loses the focus with being hidden and gets it back when shown.
            batch += hidden ? show : " windowunmap --sync " + id;
            hidden = !hidden;
        }
        ++events;
    }
    for (const std::string& key : held) batch += " keyup " + key;
    events += static_cast<int>(held.size());
    return batch + (hidden ? show : "");
}

TEST(InputStorm, TheGameSurvivesThousandsOfRandomEventsAndStillEndsOnEscape) {
    omxtest::VirtualDisplay display;
    ASSERT_TRUE(display.ok());
    omxtest::GameProcess game({}, display.name());
    ASSERT_TRUE(game.waitForOutput("fbo recreate", 120.0)) << game.standardOutput() << game.standardError();
    ASSERT_TRUE(omxtest::waitForWindow(display.name(), "Omnivex", 30.0));
    const std::string id = gameWindow(display.name());
    ASSERT_FALSE(id.empty());

    std::mt19937 random(8u);
    int events = 0;
    const auto start = std::chrono::steady_clock::now();
    const auto answered = [&game](int markers) {
        return [&game, markers] { return countOf(game.standardOutput(), "FrustumCulling: ") >= markers; };
    };
    int markers = 0;
    int lateMarkers = 0;  // batches the game had not worked through after 20 s
    while (std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() < stormSeconds) {
        // Each batch ends with F8, whose line shows when the game has worked through the batch: the storm goes
        // as fast as the game reads, so a busy machine does not leave minutes of events queued.
        const std::string batch = stormBatch(random, id, events) + " windowfocus " + id + " key --delay 0 F8";
        ASSERT_EQ(omxtest::xdotool(display.name(), batch), 0) << "a batch broke off";
        ++markers;
        if (!waitFor(answered(markers), 20.0, game)) ++lateMarkers;
        ASSERT_TRUE(game.running()) << "the game ended during the storm\n" << game.standardError();
    }
    std::printf("input storm: %d events in %.0f s, %d of %d batches not worked through within 20 s\n", events,
                stormSeconds, lateMarkers, markers);
    EXPECT_GT(events, 1000);

    // Back to a shown, focused window, small so that whatever view and filtering the storm left behind draws
    // quickly on the software renderer; then the player leaves.
    ASSERT_EQ(omxtest::xdotool(display.name(), "windowmap --sync " + id + " windowsize " + id +
                                                   " 64 64 windowfocus " + id + " mousemove --window " + id + " 30 30"),
              0);
    // The game still answers a key before it is asked to leave.
    ASSERT_EQ(omxtest::xdotool(display.name(), "key --delay 0 F8"), 0);
    ++markers;
    EXPECT_TRUE(waitFor(answered(markers), drainSeconds, game)) << "no answer to F8 after the storm";
    EXPECT_EQ(omxtest::xdotool(display.name(), "key Escape"), 0);
    EXPECT_EQ(game.waitForExit(drainSeconds), 0) << game.standardError();
    // The storm's own keys reached the game: it toggled and reported switches besides the F8 markers.
    int switchLines = 0;
    for (const char* line : {"WireFrame: ", "TriLinear: ", "MipMapping: ", "FrustumCulling: ", "Transparency: "})
        switchLines += countOf(game.standardOutput(), line);
    EXPECT_GT(switchLines, markers);
    for (const char* report : {"GL: ", "Sanitizer", "runtime error"})
        EXPECT_EQ(game.standardError().find(report), std::string::npos) << game.standardError();
}

}  // namespace

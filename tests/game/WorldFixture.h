// WorldFixture.h -- a whole window-less world with scripted keys, wheel and cursor, for the flow and camera tests.
#pragma once

#include <cmath>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "game/Game.h"
#include "game/SceneObject.h"
#include "game/Settlement.h"
#include "support/RecordingSound.h"
#include "support/WindowlessOptions.h"

namespace omxtest {

// Keys are down while in `held`; every query is logged so tests can check what was read and in which order.
class ScriptedInput : public Input {
public:
    bool keyDown(int key) override {
        queried.push_back(key);
        return held.count(key) > 0;
    }
    int wheelPosition() override { return wheel; }
    MousePosition cursor() override { return cursorAt; }

    std::set<int> held;
    int wheel = 0;
    MousePosition cursorAt;
    std::vector<int> queried;
};

// The whole built world. `buildOutput` holds what construction printed on standard output.
struct World {
    RecordingSound sound;
    ScriptedInput input;
    std::string buildOutput;
    std::unique_ptr<Game> game;

    explicit World(unsigned seed = 1) {
        testing::internal::CaptureStdout();
        game = std::make_unique<Game>(windowlessOptions(&sound, seed, &input));
        buildOutput = testing::internal::GetCapturedStdout();
    }

    // Ends the intro the way the player does (F1) and closes the controls panel it opens.
    void startPlaying() {
        input.held.insert(Key::F1);
        testing::internal::CaptureStdout();
        game->update(0.0001f);
        testing::internal::GetCapturedStdout();
        input.held.erase(Key::F1);
        if (game->overviewMode) game->toggleOverview(nullptr);
    }

    // Runs round(seconds / dt) updates of dt each; returns what they printed.
    std::string run(float seconds, float dt) {
        const long steps = std::lround(seconds / dt);
        testing::internal::CaptureStdout();
        for (long i = 0; i < steps; ++i) game->update(dt);
        return testing::internal::GetCapturedStdout();
    }
};

// The numbers of one printed "x y z " line.
inline std::vector<float> numbersOf(const std::string& line) {
    std::istringstream in(line);
    std::vector<float> values;
    float v = 0.0f;
    while (in >> v) values.push_back(v);
    return values;
}

inline std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) lines.push_back(line);
    return lines;
}

}  // namespace omxtest

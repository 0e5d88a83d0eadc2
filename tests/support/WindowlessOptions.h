// WindowlessOptions.h -- the options of a game the tests build without a window: no graphics, the test's
// sound manager (and input, when given) and a fixed seed.
#pragma once

#include "game/Game.h"

namespace omxtest {

inline GameOptions windowlessOptions(SoundManager* sound, unsigned seed, Input* input = nullptr) {
    GameOptions options;
    options.graphics = false;
    options.sound = sound;
    options.input = input;
    options.seedFromClock = false;
    options.seed = seed;
    return options;
}

}  // namespace omxtest

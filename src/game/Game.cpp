// Game.cpp -- the Game's defaults, ownership of what it builds, and the doors to the view that draws it.
#include "game/Game.h"

#if defined(__GLIBC__)
#include <malloc.h>
#endif
#include <iostream>

#include "game/Settlement.h"
#include "game/WorldConstants.h"
#include "game/WorldView.h"
#include "math/Conventions.h"
#include "sound/SoundManager.h"

Game::Game(const GameOptions& options) {
    resetObjectRegistry();
    if (options.input) {
        input = options.input;
    } else {
        ownedInput = std::make_unique<Input>();
        input = ownedInput.get();
    }
    buildWorld(options);
#if defined(__GLIBC__)
    // Loading frees far more than it keeps (sound decoding above all); hand the freed heap back to the system
    // instead of carrying it for the whole game.
    malloc_trim(0);
#endif
}

Game::~Game() = default;

SceneObject* Game::newObject(ObjectType type) { return objects.create(type); }

SettlementLinks Game::settlementLinks() { return SettlementLinks{&objects, sound, camera}; }

void Game::render() {
    if (view) view->drawFrame();
}

void Game::resize(int width, int height) {
    if (width == 0 || height == 0) return;
    std::cout << "fbo recreate" << std::endl;
    windowWidth = width;
    windowHeight = height;
    const float aspect = static_cast<float>(width) / static_cast<float>(height);
    projectionMatrix = omx::perspectiveDegrees(fieldOfViewDegrees, aspect, 1.0f, farDistance);
    if (view) view->resizeView(width, height);
}

int Game::readObjectId(int x, int y) { return view ? view->objectIdAt(x, y) : 0; }

// WorldStubs.cpp -- temporary bodies until the world's rules land.
#include "game/Game.h"
#include "game/Settlement.h"

bool Game::buildWorld(const GameOptions&) {
    ownedCamera = std::make_unique<Camera>();
    camera = ownedCamera.get();
    return true;
}
void Game::update(float) {}
void Game::toggleOverview(const glm::vec3*) {}
void Game::onMouseButton(int) {}

// SettlementStubs.cpp -- temporary bodies until the people rules land.
#include "game/Game.h"
#include "game/Settlement.h"

void Settlement::spawnPeople(float) {}
void Settlement::updateGoodPeople(float) {}
void Settlement::updateBadPeople(float) {}
void Settlement::walk(SceneObject&, float) {}
void Game::updateSettlements(float, bool) {}
void Game::playConversionSound(float, const glm::vec3&) {}

// SettlementStubs.cpp -- temporary bodies until the settlement and people rules land.
#include "game/Game.h"
#include "game/Settlement.h"

Settlement::Settlement(const glm::vec3& position_, int index_, Game* game_)
    : position(position_), index(index_), game(game_) {}
void Settlement::setup() {}
void Settlement::scatter() {}
void Settlement::updateGrenade(float) {}
void Settlement::updateIndicator(float) {}
void Settlement::updateWalls(float) {}
void Settlement::spawnPeople(float) {}
void Settlement::updateGoodPeople(float) {}
void Settlement::updateBadPeople(float) {}
void Settlement::walk(SceneObject&, float) {}
float Settlement::effectCloseness(EffectKind) const { return 0.0f; }
void SceneObject::animate(const Settlement*, float) {}
void Game::updateSettlements(float, bool) {}
void Game::playConversionSound(float, const glm::vec3&) {}

// PlaySetup.h -- bringing a freshly built world to the moment the benchmark measures: play after the
// intro, every settlement at its full population of 50.
#pragma once

#include <glm/glm.hpp>

class Game;

// The play view after the intro: camera at (0, 576, 576) looking along (0, -1, -1), state Playing,
// overview off, the light at the height the intro leaves it.
void enterPlay(Game& game);

// Points the camera and rebuilds its view matrix as the camera update would.
void aimCamera(Game& game, const glm::vec3& position, const glm::vec3& direction, const glm::vec3& up);

// Has every settlement bear people the way its spawning does until it holds 50, then scatters them
// over the settlement's square with random headings, so the crowd is spread as after a while of play.
void fillSettlements(Game& game);

// People that are not gone, over all settlements.
int livingPeople(const Game& game);

// PlaySetup.cpp -- play state, camera placement and full settlements for the benchmark.
#include "PlaySetup.h"

#include <cstdlib>

#include <glm/gtc/matrix_transform.hpp>

#include "game/Game.h"
#include "game/Settlement.h"
#include "game/WorldConstants.h"

namespace {

constexpr int fullPopulation = 50;
// People keep to this half-width around their settlement's centre.
constexpr float squareHalfWidth = 307.0f;

float randomBetween(float low, float high) {
    return low + (high - low) * static_cast<float>(std::rand() % 32768) / 32767.0f;
}

}  // namespace

void enterPlay(Game& game) {
    game.state = GameState::Playing;
    if (game.overviewMode) game.toggleOverview(nullptr);
    game.infoPanel->visible = false;
    game.light->position.y = static_cast<float>(introLightHeight);
    aimCamera(game, glm::vec3(0.0f, 576.0f, 576.0f), glm::normalize(glm::vec3(0.0f, -1.0f, -1.0f)),
              glm::vec3(0.0f, 1.0f, 0.0f));
}

void aimCamera(Game& game, const glm::vec3& position, const glm::vec3& direction, const glm::vec3& up) {
    Camera& camera = *game.camera;
    camera.position = position;
    camera.direction = direction;
    camera.viewMatrix = glm::lookAt(position, position + direction, up);
}

void fillSettlements(Game& game) {
    for (Settlement* s : game.settlements) {
        // A full spawn timer makes the next spawn step bear one person; a zero step moves nothing else.
        for (int attempt = 0; attempt < fullPopulation; ++attempt) {
            if (static_cast<int>(s->goodPeople.size() + s->badPeople.size()) >= fullPopulation) break;
            s->spawnTimer = s->spawnInterval;
            s->spawnPeople(0.0f);
        }
        for (SceneObject* person : s->goodPeople) {
            person->position.x = s->position.x + randomBetween(-squareHalfWidth, squareHalfWidth);
            person->position.z = s->position.z + randomBetween(-squareHalfWidth, squareHalfWidth);
            person->rotation.y = randomBetween(0.0f, 360.0f);
        }
    }
}

int livingPeople(const Game& game) {
    int count = 0;
    for (const Settlement* s : game.settlements) {
        for (const SceneObject* p : s->goodPeople) count += p->personState != PersonState::Gone;
        for (const SceneObject* p : s->badPeople) count += p->personState != PersonState::Gone;
    }
    return count;
}

// WorldBuild.cpp -- building the world once, in the fixed order that numbers its objects.
#include <cstdlib>
#include <ctime>
#include <iostream>


#include "game/Game.h"
#include "game/Random.h"
#include "game/Settlement.h"
#include "game/WorldConstants.h"
#include "sound/SoundManager.h"

namespace {

// Settlements are at least this far from every earlier one and closer than neighbourDistance to one of them.
constexpr double minimumSettlementDistance = 960.0000610351562;
constexpr float neighbourDistance = 1600.0f;

// A coordinate in [-R, R] with R = settlementSpread / 5.
float randomSettlementCoordinate() {
    const float range = settlementSpread / 5.0f;
    const float width = range - (-range);
    return static_cast<float>(randomUnit() * width - range);
}

bool acceptableSettlementPosition(const glm::vec3& candidate, const std::array<Settlement*, 5>& placed, int count) {
    bool hasNeighbour = false;
    for (int m = 0; m < count; ++m) {
        const float distance = glm::length(candidate - placed[m]->position);
        if (distance < minimumSettlementDistance) return false;
        if (distance < neighbourDistance) hasNeighbour = true;
    }
    return hasNeighbour;
}

}  // namespace

void Game::buildWorld(const GameOptions& options) {
    std::srand(options.seedFromClock ? static_cast<unsigned>(std::time(nullptr)) : options.seed);

    if (options.sound) {
        sound = options.sound;
    } else {
        ownedSound = std::make_unique<SoundManager>(soundPath);
        sound = ownedSound.get();
    }

    createSceneObjects();
    placeSettlements();

    sound->play(MusicGood);
    sound->play(SoundHolyGrenadeCrafting);
}

void Game::createSceneObjects() {
    // Object numbers follow creation order: camera 0, light 1, strike 2, sky box 3, tiles 4..103,
    // borders 104..107, info panel 108, then the settlements' objects.
    ownedCamera = std::make_unique<Camera>();
    camera = ownedCamera.get();
    light = newObject(ObjectType::Prop);
    strike = newObject(ObjectType::Prop);
    skybox = newObject(ObjectType::Prop);

    for (int i = -5; i <= 4; ++i) {
        for (int j = -5; j <= 4; ++j) {
            SceneObject* tile = newObject(ObjectType::GroundTile);
            tile->boundingRadius = 1000;
            tile->position = glm::vec3(static_cast<float>((worldSizeX * i) / 10), 0.0f,
                                       static_cast<float>((worldSizeZ * j) / 10));
            tile->scale = glm::vec3(static_cast<float>((worldSizeX / 2) / 10), static_cast<float>((worldSizeX / 2) / 10),
                                    static_cast<float>((worldSizeZ / 2) / 10));
            groundTiles[static_cast<size_t>((i + 5) * 10 + (j + 5))] = tile;
        }
    }

    const glm::vec3 borderPositions[4] = {glm::vec3(0.0f, 0.0f, -borderDistance), glm::vec3(-borderDistance, 0.0f, 0.0f),
                                          glm::vec3(0.0f, 0.0f, borderDistance), glm::vec3(borderDistance, 0.0f, 0.0f)};
    for (int k = 0; k < 4; ++k) {
        SceneObject* border = newObject(ObjectType::Prop);
        border->position = borderPositions[k];
        border->rotation.y = 90.0f * static_cast<float>(k);
        border->scale = glm::vec3(552.61f, 245.0f, 552.61f);
        borders[static_cast<size_t>(k)] = border;
    }

    infoPanel = newObject(ObjectType::Prop);
    infoPanel->visible = false;

    strike->visible = false;
    camera->position = glm::vec3(0.0f, cameraStartDistance, cameraStartDistance);
    camera->direction = glm::normalize(glm::vec3(0.0f, -0.5f, -0.5f));
    camera->viewMatrix = glm::mat4(1.0f);
    camera->keyboardControl = true;
    lastHorizontalDirection = glm::vec3(0.0f, 0.0f, -1.0f);
    lastGroundPoint = glm::vec3(camera->position.x, 0.0f, camera->position.z);
    light->position = glm::vec3(0.0f);
    strike->identityTransform = true;
}

void Game::placeSettlements() {
    // Settlement 0 stands at the centre; each later one keeps its distance from all earlier ones
    // and has a near neighbour among them.
    for (int n = 0; n < 5; ++n) {
        glm::vec3 position(0.0f);
        if (n > 0) {
            do {
                const float z = randomSettlementCoordinate();
                const float x = randomSettlementCoordinate();
                position = glm::vec3(x, 0.0f, z);
            } while (!acceptableSettlementPosition(position, settlements, n));
        }
        std::cout << position.x << " " << position.y << " " << position.z << " " << std::endl;
        ownedSettlements.push_back(std::make_unique<Settlement>(position, n, settlementLinks()));
        settlements[static_cast<size_t>(n)] = ownedSettlements.back().get();
        settlements[static_cast<size_t>(n)]->setup();
    }
    for (Settlement* settlement : settlements) settlement->scatter();
}

// Settlement.h -- one settlement: its tree, statue, holy grenade, decorations and people.
#pragma once

#include <vector>

#include <glm/glm.hpp>

class SceneObject;
class SceneObjectStore;
class SoundManager;

// Where a settlement stands; the numbers are the game's own codes.
enum class SettlementStatus { Active = 0, Won = 1, Lost = 2, Warning = 3 };

enum class EffectKind { Crafting, Rolling };

// What a settlement reaches beyond itself: where its new objects come from, what plays its sounds, and the
// camera, whose distance sets how loud its grenade work and its conversions are heard.
struct SettlementLinks {
    SceneObjectStore* objects = nullptr;
    SoundManager* sound = nullptr;
    const SceneObject* listener = nullptr;
};

class Settlement {
public:
    Settlement(const glm::vec3& position, int index, const SettlementLinks& links);

    SettlementStatus status = SettlementStatus::Active;
    glm::vec3 position;
    SceneObject* tree = nullptr;
    SceneObject* moai = nullptr;
    SceneObject* grenade = nullptr;
    SceneObject* grenadeBorder = nullptr;
    SceneObject* grenadeIndicator = nullptr;
    SceneObject* wall = nullptr;
    SceneObject* monument = nullptr;
    std::vector<SceneObject*> goodPeople;  // in order of arrival; the Game owns the objects
    std::vector<SceneObject*> badPeople;
    int mood = 0;  // +1 bad-leaning, -1 good-leaning
    int index = 0;
    int workerCount = 0;
    int deadGoodCount = 0;
    SettlementLinks links;
    float spawnInterval = 1.0f;
    float spawnTimer = 0.0f;
    float warningTimer = 0.0f;
    float grenadeProgress = 0.0f;  // Ready at 4000, lost at -1800
    float grenadeSize = 30.0f;

    // Creates the seven objects (tree, statue, grenade, grenade border, indicator, wall, monument) and scatters.
    void setup();
    // Random placement of tree, statue and grenade, and random speeds.
    void scatter();

    void updateGrenade(float dt);
    void updateIndicator(float dt);
    void updateWalls(float dt);
    void spawnPeople(float dt);
    void updateGoodPeople(float dt);
    void updateBadPeople(float dt);
    // Moves a person by `distance` along its heading, turning back into the settlement's square first.
    void walk(SceneObject& person, float distance);
    // 0..1: how close the camera is to this settlement's grenade work of that kind.
    float effectCloseness(EffectKind kind) const;
    // A settlement still standing shows its statue, tree and grenade border.
    bool standing() const { return status != SettlementStatus::Won && status != SettlementStatus::Lost; }
};

// SettlementFixture.h -- a window-less game with hand-placed settlements and people for the rule tests.
#pragma once

#include <cstdlib>
#include <memory>
#include <vector>

#include <glm/glm.hpp>

#include "game/Game.h"
#include "game/SceneObject.h"
#include "game/Settlement.h"
#include "support/RecordingSound.h"
#include "support/WindowlessOptions.h"

namespace omxtest {

// A person of the given kind and state standing at `at`, facing yaw degrees, in its settlement's list.
inline SceneObject& addPerson(Game& game, Settlement& s, int type, int state, const glm::vec3& at, float yaw = 0.0f) {
    SceneObject* p = game.newObject(type);
    p->state = state;
    p->owner = &s;
    p->boundingRadius = 20;
    p->scale = glm::vec3(7.5f);
    p->position = at;
    p->rotation.y = yaw;
    p->rotationSpeed = glm::vec3(-30.0f, 0.0f, -130.0f);
    (type == GoodPerson ? s.goodPeople : s.badPeople).push_back(p);
    return *p;
}

// A Playing game whose settlement slots hold only the settlements a test adds.
struct SettlementWorld {
    RecordingSound sound;
    Game game;
    std::vector<std::unique_ptr<Settlement>> owned;

    explicit SettlementWorld(unsigned seed = 1) : game(windowlessOptions(&sound, seed)) {
        game.sound = &sound;
        game.state = Playing;
        game.settlements = {};
        std::srand(seed);
    }

    // A settlement set up (and scattered) from the current random sequence, entered in the next free slot.
    Settlement& add(const glm::vec3& position) {
        const int index = static_cast<int>(owned.size());
        owned.push_back(std::make_unique<Settlement>(position, index, &game));
        Settlement& s = *owned.back();
        s.setup();
        if (index < 5) game.settlements[static_cast<size_t>(index)] = &s;
        return s;
    }

    // A settlement with a fixed layout around `centre`: tree at +x, statue at -x, grenade at +z.
    Settlement& addFixed(const glm::vec3& centre = glm::vec3(0.0f)) {
        Settlement& s = add(centre);
        s.tree->position = centre + glm::vec3(200.0f, 0.0f, 0.0f);
        s.moai->position = centre + glm::vec3(-200.0f, 0.0f, 0.0f);
        s.grenade->position = centre + glm::vec3(0.0f, 0.0f, 200.0f);
        s.grenadeBorder->position = s.grenade->position;
        return s;
    }

    SceneObject& addPerson(Settlement& s, int type, int state, const glm::vec3& at, float yaw = 0.0f) {
        return omxtest::addPerson(game, s, type, state, at, yaw);
    }
};

// Heading of the vector from `from` to `to` over the ground.
inline glm::vec3 groundDirection(const glm::vec3& from, const glm::vec3& to) {
    const glm::vec3 d(to.x - from.x, 0.0f, to.z - from.z);
    return glm::normalize(d);
}

}  // namespace omxtest

// GameBuilders.h -- games the tests build without a window: a whole world with scripted input, or a playing
// game holding only hand-placed settlements, and people placed by hand as the settlements' births make them.
#pragma once

#include <cmath>
#include <cstdlib>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include <glm/glm.hpp>

#include "game/Game.h"
#include "game/SceneObject.h"
#include "game/Settlement.h"
#include "support/Files.h"
#include "support/Printers.h"
#include "support/RecordingSound.h"

namespace omxtest {

// The test's sound manager (and input, when given) and a fixed seed.
inline GameOptions windowlessOptions(SoundManager* sound, unsigned seed, Input* input = nullptr) {
    GameOptions options;
    options.sound = sound;
    options.input = input;
    options.seedFromClock = false;
    options.seed = seed;
    return options;
}

// Keys are down while in `held`; every query is logged so tests can check what was read and in which order.
class ScriptedInput : public Input {
public:
    bool keyDown(int key) override {
        queried.push_back(key);
        return held.count(key) > 0;
    }
    int wheelPosition() override { return wheel; }
    MousePosition cursor() override { return cursorAt; }

    std::set<int> held;
    int wheel = 0;
    MousePosition cursorAt;
    std::vector<int> queried;
};

// The game's numbers of states, for tables whose rows hold objects of different kinds.
constexpr int code(PersonState state) { return static_cast<int>(state); }
constexpr int code(GrenadeState state) { return static_cast<int>(state); }

// Sets the state that the game's number `code` stands for on an object of any kind (see stateCode).
inline void setStateCode(SceneObject& o, int code) {
    if (o.type == ObjectType::GoodPerson || o.type == ObjectType::BadPerson) {
        o.personState = static_cast<PersonState>(code);
    } else if (o.type == ObjectType::HolyGrenade) {
        o.grenadeState = static_cast<GrenadeState>(code);
    } else {
        o.gone = code == static_cast<int>(PersonState::Gone);
    }
}

// A person of the given kind and state standing at `at`, facing yaw degrees, in its settlement's list.
inline SceneObject& addPerson(Game& game, Settlement& s, ObjectType type, PersonState state, const glm::vec3& at,
                              float yaw = 0.0f) {
    SceneObject* p = game.newObject(type);
    p->personState = state;
    p->owner = &s;
    p->boundingRadius = 20;
    p->scale = glm::vec3(7.5f);
    p->position = at;
    p->rotation.y = yaw;
    p->rotationSpeed = glm::vec3(-30.0f, 0.0f, -130.0f);
    (type == ObjectType::GoodPerson ? s.goodPeople : s.badPeople).push_back(p);
    return *p;
}

// The whole built world. `buildOutput` holds what construction printed on standard output.
struct World {
    RecordingSound sound;
    ScriptedInput input;
    std::string buildOutput;
    std::unique_ptr<Game> game;

    explicit World(unsigned seed = 1) {
        buildOutput = capturedStdout([&] { game = std::make_unique<Game>(windowlessOptions(&sound, seed, &input)); });
    }

    // Ends the intro the way the player does (F1) and closes the controls panel it opens.
    void startPlaying() {
        input.held.insert(Key::F1);
        capturedStdout([&] { game->update(0.0001f); });
        input.held.erase(Key::F1);
        if (game->overviewMode) game->toggleOverview(nullptr);
    }

    // Runs round(seconds / dt) updates of dt each; returns what they printed.
    std::string run(float seconds, float dt) {
        const long steps = std::lround(seconds / dt);
        return capturedStdout([&] {
            for (long i = 0; i < steps; ++i) game->update(dt);
        });
    }
};

// A Playing game whose settlement slots hold only the settlements a test adds.
struct SettlementWorld {
    RecordingSound sound;
    Game game;
    std::vector<std::unique_ptr<Settlement>> owned;

    explicit SettlementWorld(unsigned seed = 1) : game(windowlessOptions(&sound, seed)) {
        game.state = GameState::Playing;
        game.settlements = {};
        std::srand(seed);
    }

    // A settlement set up (and scattered) from the current random sequence, entered in the next free slot.
    Settlement& add(const glm::vec3& position) {
        const int index = static_cast<int>(owned.size());
        owned.push_back(std::make_unique<Settlement>(position, index, game.settlementLinks()));
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

    SceneObject& addPerson(Settlement& s, ObjectType type, PersonState state, const glm::vec3& at, float yaw = 0.0f) {
        return omxtest::addPerson(game, s, type, state, at, yaw);
    }
};

// Heading of the vector from `from` to `to` over the ground.
inline glm::vec3 groundDirection(const glm::vec3& from, const glm::vec3& to) {
    return glm::normalize(glm::vec3(to.x - from.x, 0.0f, to.z - from.z));
}

// The numbers of one printed "x y z " line.
inline std::vector<float> numbersOf(const std::string& line) {
    std::istringstream in(line);
    std::vector<float> values;
    float v = 0.0f;
    while (in >> v) values.push_back(v);
    return values;
}

inline bool finite(const glm::vec3& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

}  // namespace omxtest

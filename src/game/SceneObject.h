// SceneObject.h -- every placed thing in the world, its type and state codes, and the object registry.
#pragma once

#include <map>
#include <memory>
#include <vector>

#include <glm/glm.hpp>

class Settlement;

// The game's flow; the numbers are the game's own codes.
enum class GameState { Playing = 0, Won = 1, Lost = 2, Intro = 3 };

enum class ObjectType {
    GoodPerson = 0,
    BadPerson = 1,
    SettlementTree = 2,
    MoaiStatue = 3,
    HolyGrenade = 4,
    GroundTile = 5,
    Prop = 6,
};

// What a person is doing (6, Gone, for every kind of object that has left the world).
enum class PersonState { Wandering = 0, Working = 1, Dragging = 2, Dragged = 3, Sent = 4, Struck = 5, Gone = 6 };

// Where a holy grenade is in its life.
enum class GrenadeState { Growing = 1, Gone = 6, Ready = 7, Sunk = 8, Rolling = 9, Exploding = 10 };

// The strike a click calls down: a right click picks, a left click shoots.
enum class StrikeKind { Pick = 0, Shoot = 1 };

class SceneObject {
public:
    // Takes the next object number and enters the object into the registry under it.
    SceneObject();
    // Leaves the registry if it is still registered there (nothing is destroyed during play).
    ~SceneObject();
    SceneObject(const SceneObject&) = delete;
    SceneObject& operator=(const SceneObject&) = delete;

    ObjectType type = ObjectType::Prop;  // the creator sets it right after construction
    PersonState personState = PersonState::Wandering;  // people
    GrenadeState grenadeState = GrenadeState::Growing;  // holy grenades
    bool gone = false;   // a tree blown up, a grenade border whose grenade is finished: no longer drawn
    bool risen = false;  // a monument that has fully risen
    glm::vec3 position = glm::vec3(0.0f);
    glm::vec3 scale = glm::vec3(1.0f);
    // Degrees. The model matrix turns by y about the y axis, by z about the x axis and by x about the z axis.
    glm::vec3 rotation = glm::vec3(0.0f);
    glm::vec3 rotationSpeed = glm::vec3(0.0f);  // degrees per second
    glm::vec3 rotationLimit = glm::vec3(0.0f);  // swing amplitude in degrees
    glm::vec3 direction = glm::vec3(0.0f, 0.0f, -1.0f);
    SceneObject* target = nullptr;
    bool visible = true;
    bool identityTransform = false;
    int id = 0;
    int boundingRadius = 0;
    Settlement* owner = nullptr;
    bool highlighted = false;
    bool blinkPhase = false;
    float stateTimer = 0.0f;

    // The game's number for the object's state: a person's or a grenade's state, 6 for any other object that
    // has gone, 7 for a risen monument, else 0.
    int stateCode() const;
    // (cos yaw, 0, -sin yaw) with yaw = rotation.y: the x axis turned about +y.
    glm::vec3 heading() const;
    // Sets rotation.y from v (x component over the full 3-D length) so that heading() points along v.
    // A zero (or non-finite) vector leaves the rotation as it is.
    void faceTowards(const glm::vec3& v);
    // Per-type sway, bow and spin for one time step.
    void animate(const Settlement* settlement, float dt);
    // T(position) R(rotation.y about y) R(rotation.z about x) R(rotation.x about z) S(scale), or the identity.
    glm::mat4 modelMatrix() const;
};

class Camera : public SceneObject {
public:
    glm::mat4 viewMatrix = glm::mat4(1.0f);
    bool keyboardControl = true;  // forward and back move parallel to the ground
};

// Owns the scene objects of one world. Nothing is destroyed while the world lives, so every pointer handed out
// (and every registry entry) stays valid until the store goes.
class SceneObjectStore {
public:
    // A new object of that type, numbered and registered by its constructor.
    SceneObject* create(ObjectType type);

private:
    std::vector<std::unique_ptr<SceneObject>> objects;
};

// Object number -> object; ids are dense from 0 for the life of one Game.
extern std::map<int, SceneObject*> objectRegistry;
extern int nextObjectId;

// Empties the registry and restarts the numbering at 0 (done when a Game is built).
void resetObjectRegistry();
// The registered object with this number, or null.
SceneObject* findObject(int id);

// Game.h -- the one game: the world's state and every rule that moves it. No graphics: the picture is drawn by a
// WorldView that reads this state, and picking asks that view which object is under the cursor.
//
// Where the methods of Game live:
//   game/Game.cpp              construction, the object store, the doors to the view (render, resize)
//   game/WorldBuild.cpp        the world's objects and settlements in their fixed order
//   game/Update.cpp            update (time scale, sub-steps), overview, borders, light, mood, the game's
//                              decision and its end, effect volumes
//   game/Pause.cpp             pausing the world and its sounds
//   game/CameraUpdate.cpp      the camera: intro, follow flight, flight by keys, the view
//   game/People.cpp            the settlements' per-frame step
//   game/Picking.cpp           clicks, hover, the ground point under the cursor, the strike
//   game/GameStatus.cpp        what the status display shows, its messages, and the flight to a settlement
#pragma once

#include <array>
#include <memory>
#include <vector>

#include <glm/glm.hpp>

#include "game/Input.h"
#include "game/SceneObject.h"
#include "game/StatusDisplay.h"

class Settlement;
class SoundManager;
class WorldView;
struct SettlementLinks;

// How a Game is built. The defaults are the real game; tests pass their own sound and input.
struct GameOptions {
    SoundManager* sound = nullptr;   // borrowed when set; otherwise the game opens its own SoundManager
    Input* input = nullptr;          // borrowed when set; otherwise no key is ever down
    bool seedFromClock = true;       // srand(time(nullptr)); otherwise srand(seed)
    unsigned seed = 0;
};

class Game {
public:
    explicit Game(const GameOptions& options = GameOptions());
    ~Game();
    Game(const Game&) = delete;
    Game& operator=(const Game&) = delete;

    // --- the world as the rules and the picture see it ---
    GameState state = GameState::Intro;
    int windowWidth = 1200;
    int windowHeight = 800;
    glm::mat4 projectionMatrix = glm::mat4(1.0f);  // the camera's, set by resize

    Camera* camera = nullptr;
    SceneObject* light = nullptr;
    SceneObject* strike = nullptr;
    SceneObject* skybox = nullptr;
    std::array<SceneObject*, 100> groundTiles{};
    std::array<SceneObject*, 4> borders{};
    SceneObject* infoPanel = nullptr;
    std::array<Settlement*, 5> settlements{};

    float badFactor = 0.0f;
    float strikeTimer = 0.0f;
    StrikeKind strikeKind = StrikeKind::Pick;  // what the showing strike was called down for
    float strikeScroll = 0.0f;  // how far the bolt's picture has slid along it
    float timeScale = 1.0f;
    float gameOverTimer = 0.0f;
    int badFactorDirection = 0;
    bool nightMode = false;
    bool overviewMode = false;
    bool paused = false;  // the world and every sound stand still; the camera flies and the picture draws
    // Seconds of the finished grenades' pulse: real time that stands still while the game is paused, kept
    // below an hour for float precision.
    float glowTime = 0.0f;
    SoundManager* sound = nullptr;
    MousePosition mouse;

    // --- the doors to the picture ---
    // The view that draws this world and answers picking; null draws nothing and picks nothing.
    void setView(WorldView* view) { this->view = view; }
    // Draws the frame through the view.
    void render();
    // A new window size: the projection, then the view's own targets. A zero side changes nothing.
    void resize(int width, int height);

    // --- frame update and game flow ---
    void update(float dt);
    void toggleOverview(const glm::vec3* focus);
    // Stops or restarts the world and holds or releases every sound; setting the current value does nothing.
    void setPaused(bool pause);
    void updateBorders();
    void updateLight();
    // Moves the mood towards the settlements' balance and switches the music; with the mood at rest, decides
    // the game.
    void updateMood(float dt);
    // Playing, three won settlements win the game and three lost ones lose it.
    void decideGame(int wonCount, int lostCount);
    // After a win or a loss, brings the overview up once, six seconds later.
    void updateGameOver(float dt);
    void updateEffectVolumes();
    void updateSettlements(float dt, bool firstUpdateStep);

    // --- camera ---
    // The intro, the follow flight or flight by keys, then the view. dt is real time.
    void updateCamera(float dt);

    // --- picking and actions ---
    void onMouseButton(int button);
    // Acts on a click whose object id has been read (0: nothing under the cursor).
    void actOnClick(int button, int id);
    // Object id at framebuffer pixel (x, y), y from the bottom, as the view shows it; 0 without a view.
    int readObjectId(int x, int y);
    // The object a click at the cursor acts on, and the hover lights: the one under the cursor, or over bare
    // ground the nearest person within a few pixels that a click can still act on (see ClickTarget.h); 0 for
    // none or without a view.
    int aimedObjectId();
    glm::vec3 pickGround();
    // The framebuffer row (counted from the bottom) of the pixel under the cursor.
    int cursorRow() const;
    void updateHover();
    // Marks exactly the objects a click would act on, given the id under the cursor.
    void highlightHovered(int id);
    void updateStrike(float dt);
    // Hides a showing strike and silences its sound.
    void endStrike();
    // The strike's six vertices (x, y, z, 1) and texture coordinates for the current camera.
    void buildStrikeGeometry(std::array<float, 24>& positions, std::array<float, 12>& texCoords) const;
    // The bolt as the last strike update built it (the picture draws it as it stands while the world waits).
    struct StrikeGeometry {
        std::array<float, 24> positions{};
        std::array<float, 12> texCoords{};
    };
    StrikeGeometry strikeGeometry;

    // --- what the status display shows, and the flight to a settlement ---
    // Takes the world as it stands into `statusNow` and has the message log note what changed, on real time
    // (messages wait while the game is paused). Runs at the end of every update.
    void updateStatus(float realDt);
    // Flies the camera to settlement `index` (0..4) with the flight of a right click on its tree: to its tree
    // while the settlement stands, to its monument once it is won or lost. The strike comes down on the goal and
    // stays there until the camera arrives, except while the game is paused (the camera flies alone). Nothing
    // happens during the intro, in the overview, or for another index.
    void flyToSettlement(int index);
    StatusInput statusNow;  // as the last update left the world
    MessageLog messageLog;

    // --- the world's objects ---
    // A new object owned by the game (numbered and registered by its constructor).
    SceneObject* newObject(ObjectType type);
    // What a settlement of this game reaches: the object store, the sound and the camera.
    SettlementLinks settlementLinks();

    // State that lives across frames, read by the tests of the camera and the strike.
    float firstUpdate = 1.0f;
    glm::vec3 savedCameraPosition = glm::vec3(0.0f);
    glm::vec3 savedCameraDirection = glm::vec3(0.0f);
    float introTimer = 0.0f;
    int lastWheelPosition = 0;
    float pendingPitch = 0.0f;
    glm::vec3 lastHorizontalDirection = glm::vec3(0.0f, 0.0f, -1.0f);  // last camera direction with a horizontal part
    glm::vec3 lastGroundPoint = glm::vec3(0.0f);                        // last good pickGround result

private:
    // World construction, in the order that numbers the objects.
    void buildWorld(const GameOptions& options);
    void createSceneObjects();  // camera, light, strike, sky box, ground tiles, borders, info panel
    void placeSettlements();

    // The intro ends when the camera has come round to the centre, after 40 s, or on F1.
    bool introShouldEnd();
    // Prints where the intro ended, lands the camera, starts play and shows the controls panel.
    void endIntro();
    void flyIntro(float dt);
    void followTarget(float dt);
    void flyByKeys(float dt);
    void updateView();
    // The speed keys (right Ctrl with keypad +, - or 0); the speed changes at a rate per second of real time.
    void updateTimeScale(float realDt);

    Input* input = nullptr;
    WorldView* view = nullptr;
    bool statusTaken = false;  // statusNow holds a frame's status
    SceneObjectStore objects;
    std::unique_ptr<Camera> ownedCamera;
    std::vector<std::unique_ptr<Settlement>> ownedSettlements;
    std::unique_ptr<SoundManager> ownedSound;
    std::unique_ptr<Input> ownedInput;
};

// Game.h -- the one game: world state, models, programs, settlements, and the per-frame entry points.
//
// Where the methods of Game live:
//   game/Game.cpp              construction, the object list, destruction
//   game/WorldBuild.cpp        buildWorld: programs, settlements, models and textures in their fixed order
//   game/Update.cpp            update (time scale, sub-steps), overview, borders, light, mood, the game's
//                              decision and its end, effect volumes
//   game/Pause.cpp             pausing the world and its sounds
//   game/CameraUpdate.cpp      the camera: intro, follow flight, flight by keys, the view
//   game/People.cpp            the settlements' per-frame step and the conversion sound
//   game/Picking.cpp           clicks, hover, the ground point under the cursor, the strike
//   render/Frame.cpp           render: the colour pass and the object-id pass, useShader
//   render/ObjectUniforms.cpp  setObjectUniforms
//   render/Resize.cpp          resize: viewport, projection, id target
//   render/IdTarget.cpp        drawing one id pixel and reading an object id back
//   render/SceneTarget.cpp     the render scale and the off-screen scene target
//   render/Frustum.cpp         the frustum planes, the objects' reach and the culling test
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include <glm/glm.hpp>

#include "game/Input.h"
#include "game/SceneObject.h"
#include "math/Plane.h"

class Model;
class RenderScaleController;
class ShaderProgram;
class Settlement;
class SoundManager;

// How a Game is built. The defaults are the real game; tests build the world without GL or sound.
struct GameOptions {
    bool graphics = true;            // compile the shaders and load models and textures (needs a GL context)
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

    int state = Intro;
    int windowWidth = 1200;
    int windowHeight = 800;

    Model* treeModel = nullptr;
    Model* moaiModel = nullptr;
    Model* groundModel = nullptr;
    Model* groundBorderModel = nullptr;
    Model* infoPanelModel = nullptr;
    Model* skyboxModel = nullptr;
    Model* goodPersonModel = nullptr;
    Model* badPersonModel = nullptr;
    Model* lightMarkerModel = nullptr;
    Model* grenadeModel = nullptr;
    Model* grenadeBorderModel = nullptr;
    Model* lightningModel = nullptr;
    Model* wallModel = nullptr;

    Camera* camera = nullptr;
    SceneObject* light = nullptr;
    SceneObject* strike = nullptr;
    SceneObject* skybox = nullptr;
    std::array<SceneObject*, 100> groundTiles{};
    std::array<SceneObject*, 4> borders{};
    SceneObject* infoPanel = nullptr;

    glm::mat4 projectionMatrix = glm::mat4(1.0f);
    glm::mat4 projectorMatrix = glm::mat4(1.0f);

    ShaderProgram* phongShader = nullptr;
    ShaderProgram* skyboxShader = nullptr;
    ShaderProgram* idShader = nullptr;
    ShaderProgram* scaleShader = nullptr;  // puts the world on the window; null: a blit does
    ShaderProgram* sharpenShader = nullptr;  // sharpens the world before it is scaled up; null: it is not
    // The ground's own lit programs: texture mode 1 only, without and with the strike's picture.
    ShaderProgram* groundShader = nullptr;
    ShaderProgram* groundStrikeShader = nullptr;
    ShaderProgram* texturedShader = nullptr;        // lit, plainly textured models
    ShaderProgram* texturedStrikeShader = nullptr;  // the same while a strike shows
    ShaderProgram* leavesShader = nullptr;          // lit leaves, cut out by their alpha texture
    ShaderProgram* leavesStrikeShader = nullptr;
    bool softwareRasterizer = false;  // the frames are drawn by Mesa's software rasterizer (known once built)

    float badFactor = 0.0f;
    float strikeTimer = 0.0f;
    float timeScale = 1.0f;
    float gameOverTimer = 0.0f;
    int badFactorDirection = 0;
    int drawnCount = 0;
    int culledCount = 0;
    bool nightMode = false;
    bool overviewMode = false;
    bool mipmapping = true;
    bool trilinear = true;
    bool wireframe = false;
    bool transparency = true;
    bool frustumCulling = false;
    bool paused = false;  // the world and every sound stand still; the camera flies and the picture draws
    std::array<Settlement*, 5> settlements{};
    SoundManager* sound = nullptr;
    MousePosition mouse;
    std::array<Plane, 6> frustumPlanes{};  // left, right, top, bottom, near, far
    bool lightningBufferCreated = false;
    uint32_t idFramebuffer = 0;
    uint32_t idTexture = 0;
    uint32_t idDepthBuffer = 0;
    bool idTargetComplete = false;  // picking reads 0 while the id target is unusable
    ShaderProgram* activeShader = nullptr;
    // Draws every frame the straightforward way: every draw blended, the sky box first, one lit program
    // for everything, the whole id image. The tests and the benchmark hold the quick way against it.
    bool plainRendering = false;
    // Share of the window's width and height the world is drawn at, into the scene target, which is then
    // copied (at 1) or scaled up to the window; the id image stays at the window's size. With a controller
    // it follows the frame times (setRenderScale).
    float renderScale = 1.0f;
    std::unique_ptr<RenderScaleController> renderScaleControl;
    double lastFrameStart = -1.0;  // steady-clock seconds of the last frame's render, for the controller
    uint32_t sceneFramebuffer = 0;
    uint32_t sceneColorTexture = 0;
    uint32_t sceneDepthBuffer = 0;
    uint32_t sharpenFramebuffer = 0;  // the world sharpened, at the scene target's size, below scale 1
    uint32_t sharpenTexture = 0;
    uint32_t emptyVertexArray = 0;  // bound while the scale program draws (its quad needs no attributes)
    int sceneWidth = 0;
    int sceneHeight = 0;
    int largestSceneSide = 0;  // the driver's largest texture and renderbuffer side (0: not asked yet)
    float glowClock = -1.0f;  // seconds of the finished grenades' pulse when not below 0; else the steady clock
    // What the last id pass drew: the view it saw and the window rectangle it covered (x0, y0, x1, y1,
    // exclusive ends). A read outside the rectangle draws that pixel from the same view first.
    struct IdPass {
        bool drawn = false;
        glm::mat4 viewMatrix = glm::mat4(1.0f);
        glm::mat4 projectionMatrix = glm::mat4(1.0f);
        std::array<Plane, 6> frustumPlanes{};
        glm::ivec4 covered = glm::ivec4(0);
    };
    IdPass idPass;
    // The six planes (inward, normalised) of the view volume the frame is drawn with, set as it starts.
    std::array<glm::dvec4, 6> viewVolume{};

    // State that lives across frames: update, camera and strike.
    float firstUpdate = 1.0f;
    glm::vec3 savedCameraPosition = glm::vec3(0.0f);
    glm::vec3 savedCameraDirection = glm::vec3(0.0f);
    float introTimer = 0.0f;
    int lastWheelPosition = 0;
    float pendingPitch = 0.0f;
    float strikeScroll = 0.0f;
    glm::vec3 lastHorizontalDirection = glm::vec3(0.0f, 0.0f, -1.0f);  // last camera direction with a horizontal part
    glm::vec3 lastGroundPoint = glm::vec3(0.0f);                        // last good pickGround result

    // True when world construction ran to its end (false: a shader program could not be built).
    bool worldComplete = false;
    bool graphics = true;
    Input* input = nullptr;

    // --- world construction ---
    // Builds the world in its fixed order; false when a shader program is unusable.
    bool buildWorld(const GameOptions& options);
    // The steps of buildWorld, in the order it takes them.
    void createSceneObjects();   // camera, light, strike, sky box, ground tiles, borders, info panel
    bool buildShaderPrograms();  // false when one of the three programs is unusable
    void placeSettlements();
    void createModels();
    void loadModelGeometry();    // built-in meshes and OBJ files
    void loadModelTextures();    // 2D textures, then the sky box's cube map
    void setModelMaterials();
    // A new object owned by the game (numbered and registered by its constructor).
    SceneObject* newObject(int type);

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
    void playConversionSound(float range, const glm::vec3& where);

    // --- camera ---
    // The intro, the follow flight or flight by keys, then the view and the frustum. dt is real time.
    void updateCamera(float dt);
    // The intro ends when the camera has come round to the centre, after 40 s, or on F1.
    bool introShouldEnd();
    // Prints where the intro ended, lands the camera, starts play and shows the controls panel.
    void endIntro();
    void flyIntro(float dt);
    void followTarget(float dt);
    void flyByKeys(float dt);
    void updateView();

    // --- picking and actions ---
    void onMouseButton(int button);
    // Acts on a click whose object id has been read (0: nothing under the cursor).
    void actOnClick(int button, int id);
    // Object id at framebuffer pixel (x, y), y from the bottom; 0 outside the image or without an id target.
    int readObjectId(int x, int y);
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
    void buildStrikeGeometry(std::array<float, 24>& positions, std::array<float, 12>& texCoords);

    // --- rendering ---
    void render();
    void useShader(ShaderProgram* program);
    void setObjectUniforms(const SceneObject& object, const Settlement* settlement, const Model& model);
    void resize(int width, int height);
    // A fixed scale (0.5 .. 1), or automatic from 1.0 on.
    void setRenderScale(bool automatic, float fixed);
    // Feeds the time since the last frame to the controller; prints "Render scale: 0.75" on a change.
    void adaptRenderScale();
    // Binds a colour and depth target of width x height for the world (made on first use or a new size);
    // false, with framebuffer 0 bound, when it cannot be made.
    bool bindSceneTarget(int width, int height);
    void updateFrustum(const glm::vec3& position, const glm::vec3& direction, const glm::vec3& up);
    bool isVisible(const SceneObject& object);
    // Radius around the object's position that holds all of its model as drawn now (its bounding radius
    // when that is larger, or when the model's extent is not known).
    float reachOf(const SceneObject& object) const;
    // False when the object lies wholly outside the view volume of the frame being drawn: the quick frame
    // then leaves its draws out, whether culling (F8) is on or not. Counts nothing; true while plain.
    bool reachesView(const SceneObject& object) const;
    // Draws the id pass into the id target for the window rectangle [x0, x1) x [y0, y1) only.
    void drawIdPass(int x0, int y0, int x1, int y1);
    // Draws the one pixel (x, y) of the last frame's id image (a read outside what its pass covered).
    void drawIdPixel(int x, int y);

private:
    std::vector<std::unique_ptr<SceneObject>> objects;
    std::unique_ptr<Camera> ownedCamera;
    std::vector<std::unique_ptr<Settlement>> ownedSettlements;
    std::vector<std::unique_ptr<Model>> ownedModels;
    std::vector<std::unique_ptr<ShaderProgram>> ownedShaders;
    std::unique_ptr<SoundManager> ownedSound;
    std::unique_ptr<Input> ownedInput;
};

// The one game of the process, read by the window callbacks and the frame loop.
extern Game* game;

// Draws each mesh of the bound model: "normal" all, "special" only (or all but) selectedMesh.
void drawMeshes(const Model& model, const char* mode, bool onlySelected, int selectedMesh);

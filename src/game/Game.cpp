// Game.cpp -- the Game's defaults, ownership of what it builds, and the one process-wide game pointer.
#include "game/Game.h"

#if defined(__GLIBC__)
#include <malloc.h>
#endif

#include "assets/Model.h"
#include "assets/ShaderProgram.h"
#include "game/Settlement.h"
#include "render/RenderScale.h"
#include "sound/SoundManager.h"

Game* game = nullptr;

Game::Game(const GameOptions& options) {
    // Frustum planes start with zero normals; the registry starts empty and numbering at 0.
    frustumPlanes = {};
    resetObjectRegistry();
    windowWidth = 1200;
    windowHeight = 800;
    projectionMatrix = glm::mat4(1.0f);
    projectorMatrix = glm::mat4(1.0f);
    badFactor = 0.0f;
    badFactorDirection = 0;
    timeScale = 1.0f;
    gameOverTimer = 0.0f;
    nightMode = false;
    overviewMode = false;
    mipmapping = true;
    trilinear = true;
    wireframe = false;
    transparency = true;
    frustumCulling = false;
    lightningBufferCreated = false;
    mouse = MousePosition{};
    state = Intro;
    graphics = options.graphics;
    if (options.input) {
        input = options.input;
    } else {
        ownedInput = std::make_unique<Input>();
        input = ownedInput.get();
    }
    worldComplete = buildWorld(options);
#if defined(__GLIBC__)
    // Loading frees far more than it keeps (model import, image decoding, sound decoding); hand the freed
    // heap back to the system instead of carrying it for the whole game.
    malloc_trim(0);
#endif
}

Game::~Game() {
    if (game == this) game = nullptr;
}

SceneObject* Game::newObject(int type) {
    objects.push_back(std::make_unique<SceneObject>());
    SceneObject* object = objects.back().get();
    object->type = type;
    return object;
}

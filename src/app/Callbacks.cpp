// Callbacks.cpp -- function keys, mouse buttons and window size, between two frames.
#include <iostream>

#include "app/App.h"
#include "app/Platform.h"
#include "assets/Texture.h"
#include "game/Game.h"
#include "game/GameStatus.h"
#include "game/WorldConstants.h"
#include "sound/SoundManager.h"

namespace {
void printSwitch(const char* label, bool value) { std::cout << label << (value ? 1 : 0) << std::endl; }
}  // namespace

void keyCallback(int key, int action) {
    if (action != platform::Press || !game) return;
    DebugSwitches& switches = debugSwitches;
    switch (key) {
        case Key::F1:
            if (game->state != GameState::Intro) game->toggleOverview(nullptr);
            break;
        case Key::F2:
            switches.showFps = !switches.showFps;
            break;
        case Key::F3:
            switches.render.wireframe = !switches.render.wireframe;
            printSwitch("WireFrame: ", switches.render.wireframe);
            break;
        case Key::F4:
            switches.trilinear = !switches.trilinear;
            applyTextureFiltering(switches.mipmapping, switches.trilinear);
            printSwitch("TriLinear: ", switches.trilinear);
            break;
        case Key::F5:
            switches.mipmapping = !switches.mipmapping;
            applyTextureFiltering(switches.mipmapping, switches.trilinear);
            printSwitch("MipMapping: ", switches.mipmapping);
            break;
        case Key::F8:
            switches.render.frustumCulling = !switches.render.frustumCulling;
            printSwitch("FrustumCulling: ", switches.render.frustumCulling);
            break;
        case Key::F9:
            switches.render.transparency = !switches.render.transparency;
            printSwitch("Transparency: ", switches.render.transparency);
            break;
        case Key::F10:
            if (game->sound) game->sound->toggleMute();
            break;
        case Key::P:
            setGamePaused(!game->paused);
            break;
        case Key::H:
            playerSwitches.statusDisplay = !playerSwitches.statusDisplay;
            break;
        case Key::Num1:
        case Key::Num2:
        case Key::Num3:
        case Key::Num4:
        case Key::Num5:
            game->flyToSettlement(key - Key::Num1);
            break;
        case Key::F11:
            game->nightMode = !game->nightMode;
            if (game->light)
                game->light->position = game->nightMode ? glm::vec3(0.0f, 5.0f, 0.0f)
                                                        : glm::vec3(0.0f, dayLightHeight, 0.0f);
            break;
        default:
            break;
    }
}

void mouseButtonCallback(int button, int action) {
    if (action == platform::Press) clickAt(button, platform::cursor());
}

// A paused world takes no lightning and sends nobody anywhere; the camera still flies.
void clickAt(int button, const MousePosition& cursor) {
    if (!game) return;
    if (playerSwitches.statusDisplay && (button == MouseButton::Left || button == MouseButton::Right)) {
        const int settlement = settlementMarkAt(*game, cursor);
        if (settlement >= 0) {
            game->flyToSettlement(settlement);
            return;
        }
    }
    if (!game->paused) game->onMouseButton(button);
}

void windowSizeCallback(int width, int height) {
    if (game) game->resize(width, height);
}

// Whoever switches to another window has stopped watching: the world waits, until P.
void focusCallback(bool focused) {
    if (!focused && game && !game->paused) setGamePaused(true);
}

void setGamePaused(bool paused) {
    if (!game) return;
    game->setPaused(paused);
    platform::setTitle(paused ? "Omnivex (paused)" : "Omnivex");
}

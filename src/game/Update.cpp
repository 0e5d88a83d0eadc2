// Update.cpp -- one frame of the game: time scale, camera, world steps, mood, sound levels and the game flow.
#include <algorithm>
#include <cmath>

#include "game/CameraAxes.h"
#include "game/Game.h"
#include "game/Settlement.h"
#include "game/WorldConstants.h"
#include "sound/SoundManager.h"

namespace {

// The camera divides by the time scale, so it never reaches zero or below.
constexpr float minimumTimeScale = 0.1f;
// Held speed keys change the time scale by this much per second of real time: 0.1 a frame at 60 frames a
// second, and as much in a second at any other frame rate.
constexpr float timeScaleRate = 6.0f;

// A frame's game time longer than this is worked through in equal steps of at most this length.
constexpr float maximumWorldStep = 1.0f / 30.0f;

// Once the game is decided, the overview comes up once inside this window of the game-over timer.
constexpr float overviewAfterEnd = 6.0f;
constexpr float overviewWindowEnd = 27.0f;
constexpr float overviewDone = 28.0f;

// The glow clock wraps after this many seconds, to keep float precision.
constexpr float glowPeriodWrap = 3600.0f;

// Three won settlements win the game, three lost ones lose it.
constexpr int settlementsToDecide = 3;

}  // namespace

void Game::update(float dt) {
    // The frame loop scaled the frame's real time by the speed it had then.
    updateTimeScale(std::isfinite(dt) && dt > 0.0f ? dt / timeScale : 0.0f);

    // However long loading took, the first step is tiny.
    const bool firstStep = firstUpdate != 0.0f;
    if (firstStep) dt = 0.0001f;
    if (!(dt >= 0.0f) || !std::isfinite(dt)) dt = 0.0f;

    const float realDt = dt / timeScale;
    updateCamera(realDt);
    // The finished grenades' pulse runs on real time, and holds still with the world.
    if (!paused) glowTime = std::fmod(glowTime + realDt, glowPeriodWrap);

    // Paused, the camera still flies; the world stands still.
    const bool worldRuns = !overviewMode && !paused;
    if (worldRuns) {
        mouse = input->cursor();
        updateBorders();
        if (!nightMode) updateLight();
        updateStrike(dt);
        updateHover();
    }

    // The rules see the same small steps whatever the frame rate and the time scale.
    const int steps = static_cast<int>(std::clamp(std::ceil(dt / maximumWorldStep), 1.0f, 1.0e6f));
    const float step = dt / static_cast<float>(steps);
    for (int i = 0; i < steps && !paused; ++i) {
        if (!overviewMode) {
            updateSettlements(step, firstStep);
            updateMood(step);
        }
        updateGameOver(step);
    }
    if (worldRuns) updateEffectVolumes();
    firstUpdate = 0.0f;
    updateStatus(realDt);
}

void Game::updateTimeScale(float realDt) {
    const float change = timeScaleRate * realDt;
    // The keypad key is read first; right Ctrl only when it is down (each query consumes a sticky press).
    if (input->keyDown(Key::KeypadAdd) && input->keyDown(Key::RightControl)) timeScale += change;
    if (input->keyDown(Key::KeypadSubtract) && input->keyDown(Key::RightControl)) timeScale -= change;
    if (input->keyDown(Key::Keypad0) && input->keyDown(Key::RightControl)) timeScale = 1.0f;
    if (!(timeScale >= minimumTimeScale)) timeScale = minimumTimeScale;
}

void Game::updateGameOver(float dt) {
    if (state != GameState::Won && state != GameState::Lost) return;
    gameOverTimer += dt;
    if (gameOverTimer > overviewAfterEnd && gameOverTimer < overviewWindowEnd) {
        gameOverTimer = overviewDone;
        toggleOverview(nullptr);
    }
}

void Game::toggleOverview(const glm::vec3* focus) {
    overviewMode = !overviewMode;
    if (overviewMode) {
        endStrike();
        const glm::vec3 parkedAt = focus ? *focus : glm::vec3(0.0f, 200.0f, 0.0f);
        savedCameraPosition = camera->position;
        savedCameraDirection = camera->direction;
        camera->position = parkedAt;
        camera->direction = glm::normalize(glm::vec3(0.0f, -1.0f, -1.0f));
        infoPanel->position = camera->position + 2.0f * camera->direction;
        infoPanel->rotation.z = 45.0f;
        infoPanel->visible = true;
    } else {
        camera->position = savedCameraPosition;
        camera->direction = savedCameraDirection;
        infoPanel->visible = false;
    }
}

void Game::updateBorders() {
    const float height = camera->position.y / static_cast<float>(borderHeightDivisor) * 100.0f;
    for (SceneObject* border : borders) border->position.y = height;
}

void Game::updateLight() {
    if (state == GameState::Intro) return;
    // Straight up or down the light stays behind the camera along the last horizontal view direction.
    const glm::vec3 h = horizontalDirection(camera->direction, lastHorizontalDirection);
    light->position.x = camera->position.x - h.x * 10.0f;
    light->position.z = camera->position.z - h.z * 10.0f;
}

void Game::updateMood(float dt) {
    if (badFactorDirection != 0) {
        badFactor += static_cast<float>(badFactorDirection) * dt;
        if (badFactor < 0.0f) {
            badFactor = 0.0f;
            badFactorDirection = 0;
        } else if (badFactor > 1.0f) {
            badFactor = 1.0f;
            badFactorDirection = 0;
        }
        return;
    }

    int moodSum = 0;
    int wonCount = 0;
    int lostCount = 0;
    for (const Settlement* settlement : settlements) {
        moodSum += settlement->mood;
        if (settlement->status == SettlementStatus::Won) ++wonCount;
        if (settlement->status == SettlementStatus::Lost) ++lostCount;
    }

    const int mood = static_cast<int>(badFactor);
    if (mood <= 0 && moodSum > 0) {
        badFactorDirection = 1;
        sound->play(MusicBad);
    } else if (mood >= 1 && moodSum <= 0) {
        badFactorDirection = -1;
        sound->play(MusicGood);
    }

    decideGame(wonCount, lostCount);
}

void Game::decideGame(int wonCount, int lostCount) {
    if (state != GameState::Playing) return;
    if (wonCount >= settlementsToDecide) {
        state = GameState::Won;
    } else if (lostCount >= settlementsToDecide) {
        state = GameState::Lost;
    }
}

void Game::updateEffectVolumes() {
    float crafting = 0.0f;
    float rolling = 0.0f;
    for (const Settlement* settlement : settlements) {
        crafting = std::max(crafting, settlement->effectCloseness(EffectKind::Crafting));
        rolling = std::max(rolling, settlement->effectCloseness(EffectKind::Rolling));
    }
    sound->setVolume(SoundHolyGrenadeCrafting, std::clamp(crafting, 0.0f, 1.0f));
    sound->setVolume(SoundHolyGrenadeRolling, std::clamp(rolling, 0.0f, 1.0f));
    // The music steps back while grenade work is heard close by.
    const float music = std::clamp(0.5f - std::max(crafting, rolling), 0.0f, 1.0f);
    sound->setVolume(MusicBad, music);
    sound->setVolume(MusicGood, music);
}

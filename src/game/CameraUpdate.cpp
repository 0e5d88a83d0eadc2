// CameraUpdate.cpp -- the player's camera: intro fly-in, follow flight, keyboard and wheel, and the view.
#include <cmath>
#include <iostream>

#include <glm/gtc/matrix_transform.hpp>

#include "game/CameraAxes.h"
#include "game/Game.h"
#include "game/WorldConstants.h"
#include "math/Conventions.h"

namespace {

const glm::vec3 worldUp(0.0f, 1.0f, 0.0f);

constexpr float moveSpeed = 250.0f;   // units per second
constexpr float turnSpeed = 180.0f;   // degrees per second
constexpr float pitchSpeed = 120.0f;  // degrees per second
constexpr float pitchPerNotch = 0.125f;  // seconds of pitching per wheel notch
constexpr float pitchLimit = 0.95f;      // |direction.y| at which the pitch is pushed back
constexpr float minimumHeight = 10.0f;

constexpr float introDuration = 40.0f;
constexpr float introStill = 3.0f;
constexpr float followSpeed = 1000.0f;
constexpr float followArrival = 250.0f;

void printVector(const glm::vec3& v) { std::cout << v.x << " " << v.y << " " << v.z << " " << std::endl; }

}  // namespace

void Game::updateCamera(float dt) {
    if (!overviewMode) {
        if (state == GameState::Intro) {
            if (introShouldEnd()) {
                endIntro();
            } else {
                flyIntro(dt);
            }
        } else if (camera->target) {
            followTarget(dt);
        } else {
            flyByKeys(dt);
        }
        // Flying by keys or following a tree, the camera never goes below the floor.
        if (camera->position.y < minimumHeight) camera->position.y = minimumHeight;
    }
    // The view, also while parked in the overview and during the intro.
    updateView();
}

bool Game::introShouldEnd() {
    const Camera& cam = *camera;
    const bool arrived =
        glm::length(cam.position) < 1000.0f && std::fabs(cam.direction.x) < 0.01f && cam.direction.z <= -0.5f;
    // F1 is read last, and only when the flight has not ended by itself (the query takes a sticky press).
    return arrived || introTimer >= introDuration || input->keyDown(Key::F1);
}

void Game::endIntro() {
    Camera& cam = *camera;
    std::cout << introTimer << std::endl;
    printVector(cam.position);
    printVector(cam.direction);
    cam.position = glm::vec3(0.0f, 576.0f, 576.0f);
    cam.direction = glm::normalize(glm::vec3(0.0f, -1.0f, -1.0f));
    light->position.y = static_cast<float>(introLightHeight);
    state = GameState::Playing;
    const glm::vec3 landing = cam.position;
    toggleOverview(&landing);
}

void Game::flyIntro(float dt) {
    Camera& cam = *camera;
    introTimer += dt;
    light->position.y += 25.0f * dt;
    if (introTimer < introStill) return;
    // Circle the centre clockwise seen from above, facing it, closing in by 1 / k.
    cam.direction = omx::rotateVector(cam.direction, -20.0f * dt, worldUp);
    const float k = 1.0f + dt / 10.0f;
    const float distance = glm::length(cam.position / k);
    cam.position = -cam.direction * distance;
}

void Game::followTarget(float dt) {
    Camera& cam = *camera;
    const glm::vec3 goal = cam.target->position + glm::vec3(0.0f, 80.0f, 0.0f);
    strike->position = cam.target->position;
    if (glm::length(goal - cam.position) < followArrival) {
        cam.target = nullptr;
        return;
    }
    const glm::vec3 n = glm::normalize(goal - cam.position);
    const glm::vec3 d = cam.direction;
    const glm::vec3 steered = d + dt * glm::vec3(2.0f * (n.x - d.x), 5.0f * (n.y - d.y), 2.0f * (n.z - d.z));
    // A steer that cancels the direction exactly keeps the old one.
    if (glm::length(steered) > 0.0f) cam.direction = glm::normalize(steered);
    cam.position += cam.direction * followSpeed * dt;
}

void Game::flyByKeys(float dt) {
    Camera& cam = *camera;
    const float move = moveSpeed * dt;
    const float turn = turnSpeed * dt;
    const float pitch = pitchSpeed * dt;
    if (input->keyDown(Key::Left) || input->keyDown(Key::A)) {
        cam.direction = omx::rotateVector(cam.direction, turn, worldUp);
        cam.rotation.y += turn;
    }
    if (input->keyDown(Key::Right) || input->keyDown(Key::D)) {
        cam.direction = omx::rotateVector(cam.direction, -turn, worldUp);
        cam.rotation.y -= turn;
    }
    const glm::vec3 forward =
        cam.keyboardControl ? horizontalDirection(cam.direction, lastHorizontalDirection) : cam.direction;
    if (input->keyDown(Key::Up) || input->keyDown(Key::W)) cam.position += forward * move;
    if (input->keyDown(Key::Down) || input->keyDown(Key::S)) cam.position -= forward * move;
    if (input->keyDown(Key::Space)) cam.position.y += move;
    if (input->keyDown(Key::C) || input->keyDown(Key::LeftControl)) cam.position.y -= move;

    const int wheel = input->wheelPosition();
    if (wheel != lastWheelPosition) {
        pendingPitch += static_cast<float>(wheel - lastWheelPosition) * pitchPerNotch;
        lastWheelPosition = wheel;
    }
    // The queue plays out at the pitch speed; the last step takes only what is left, so a notch
    // turns exactly 15 degrees and the queue comes to rest at zero.
    const glm::vec3 axis = pitchAxis(cam.direction, lastHorizontalDirection);
    if (pendingPitch > 0.0f) {
        const float step = std::fmin(dt, pendingPitch);
        pendingPitch -= step;
        cam.direction = omx::rotateVector(cam.direction, pitchSpeed * step, axis);
        cam.rotation.z += pitchSpeed * step;
    } else if (pendingPitch < 0.0f) {
        const float step = std::fmin(dt, -pendingPitch);
        pendingPitch += step;
        cam.direction = omx::rotateVector(cam.direction, -pitchSpeed * step, axis);
        cam.rotation.z -= pitchSpeed * step;
    }
    if (cam.direction.y >= pitchLimit) {
        cam.direction = omx::rotateVector(cam.direction, -pitch, axis);
        cam.rotation.z -= pitch;
    }
    if (cam.direction.y <= -pitchLimit) {
        cam.direction = omx::rotateVector(cam.direction, pitch, axis);
        cam.rotation.z += pitch;
    }
}

void Game::updateView() {
    Camera& cam = *camera;
    const glm::vec3 axis = pitchAxis(cam.direction, lastHorizontalDirection);
    const glm::vec3 up = omx::rotateVector(cam.direction, 90.0f, axis);
    // Looking straight up or down, the world's up is parallel to the view: the turned up vector replaces it.
    cam.viewMatrix =
        glm::lookAt(cam.position, cam.position + cam.direction, looksStraightUpOrDown(cam.direction) ? up : worldUp);
    if (input->keyDown(Key::F)) {
        std::cout << "dir: ";
        printVector(cam.direction);
        std::cout << "up:  ";
        printVector(up);
    }
}

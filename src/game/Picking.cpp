// Picking.cpp -- the player's clicks, the hover highlight, the ground point under the cursor and the strike.
#include <cmath>

#include <glm/gtc/matrix_transform.hpp>

#include "game/ClickTarget.h"
#include "game/Game.h"
#include "game/Settlement.h"
#include "game/WorldView.h"
#include "sound/SoundManager.h"

namespace {

constexpr float strikeDuration = 0.5f;          // seconds of game time
constexpr float strikeScrollSpeed = 1.5f;       // picture repeats per second along the bolt
constexpr float strikeRepeatLength = 20.0f;     // world units per repeat of the bolt picture

bool isPerson(const SceneObject& object) { return object.type == ObjectType::GoodPerson || object.type == ObjectType::BadPerson; }

// The two ends of the bolt's top: a short slanted segment 2 units in front of the eye, up and to the right.
void boltTop(const glm::mat4& viewMatrix, glm::vec3& a, glm::vec3& b) {
    const glm::mat4 eyeToWorld = glm::inverse(viewMatrix);
    a = glm::vec3(eyeToWorld * glm::vec4(1.0f, 2.0f, -2.0f, 1.0f));
    b = glm::vec3(eyeToWorld * glm::vec4(2.3f, 1.3f, -2.0f, 1.0f));
}

}  // namespace

void Game::onMouseButton(int button) {
    if (overviewMode || state == GameState::Intro || (button != MouseButton::Left && button != MouseButton::Right)) return;
    strike->position = pickGround();
    strike->visible = true;
    strikeTimer = 0.0f;
    if (button == MouseButton::Left) {
        strikeKind = StrikeKind::Shoot;
        sound->play(SoundLightningShoot);
    } else {
        strikeKind = StrikeKind::Pick;
        sound->play(SoundLightningPick);
    }
    actOnClick(button, aimedObjectId());
}

int Game::aimedObjectId() {
    if (!view) return 0;
    const IdSquare around = view->objectIdsAround(mouse.x, cursorRow(), nearbyPersonRadius(windowHeight));
    // A struck person is already dying: nothing a click does reaches it, so it takes no click from beside it.
    return chooseClickTarget(around, [this](int id) {
        const SceneObject* o = findObject(id);
        return o && isPerson(*o) && o->personState != PersonState::Struck && o->personState != PersonState::Gone;
    });
}

void Game::actOnClick(int button, int id) {
    if (overviewMode || state == GameState::Intro || (button != MouseButton::Left && button != MouseButton::Right)) return;
    if (id == 0) return;
    SceneObject* object = findObject(id);
    if (!object) return;
    SceneObject& o = *object;

    if (button == MouseButton::Left) {
        // A person that has already died is out of the game and cannot be struck again.
        if (isPerson(o) && o.personState != PersonState::Struck && o.personState != PersonState::Gone) {
            if (o.personState == PersonState::Working && o.owner) o.owner->workerCount -= 1;
            o.personState = PersonState::Struck;
            sound->play(SoundPeopleShot);
        } else if (o.type == ObjectType::HolyGrenade && o.grenadeState == GrenadeState::Ready) {
            o.grenadeState = GrenadeState::Rolling;
            sound->play(SoundHolyGrenadeRolling);
        }
        return;
    }

    if (isPerson(o) && o.personState == PersonState::Wandering) {
        // A good person goes to work; a bad one only looks at the grenade.
        if (o.type == ObjectType::GoodPerson) o.personState = PersonState::Sent;
        if (o.owner && o.owner->grenade) {
            const glm::vec3& grenade = o.owner->grenade->position;
            o.faceTowards(glm::vec3(grenade.x - o.position.x, 0.0f - o.position.y, grenade.z - o.position.z));
        }
    } else if (o.type == ObjectType::SettlementTree && !o.gone) {
        camera->target = &o;
    }
}

int Game::cursorRow() const { return windowHeight - 1 - mouse.y; }

glm::vec3 Game::pickGround() {
    // The centre of the pixel under the cursor, the one the id read takes.
    const glm::vec3 window(static_cast<float>(mouse.x) + 0.5f, static_cast<float>(cursorRow()) + 0.5f, 0.0f);
    const glm::vec4 viewport(0.0f, 0.0f, static_cast<float>(windowWidth), static_cast<float>(windowHeight));
    const glm::vec3 p = glm::unProject(window, camera->viewMatrix, projectionMatrix, viewport);
    const glm::vec3 c = camera->position;
    // A ray parallel to the ground or pointing up never meets it: the strike stays where it last hit.
    if (!(p.y < c.y)) return lastGroundPoint;
    const float t = -c.y / (p.y - c.y);
    const glm::vec3 ground = c + t * (p - c);
    if (!std::isfinite(ground.x) || !std::isfinite(ground.y) || !std::isfinite(ground.z)) return lastGroundPoint;
    lastGroundPoint = ground;
    return ground;
}

void Game::updateHover() { highlightHovered(aimedObjectId()); }

void Game::highlightHovered(int id) {
    for (auto& entry : objectRegistry) entry.second->highlighted = false;
    if (id == 0) return;
    SceneObject* object = findObject(id);
    if (!object) return;
    const SceneObject& o = *object;
    object->highlighted = (isPerson(o) && o.personState != PersonState::Struck && o.personState != PersonState::Gone) ||
                          (o.type == ObjectType::SettlementTree && !o.gone) ||
                          (o.type == ObjectType::HolyGrenade && o.grenadeState == GrenadeState::Ready);
}

void Game::buildStrikeGeometry(std::array<float, 24>& positions, std::array<float, 12>& texCoords) const {
    glm::vec3 a, b;
    boltTop(camera->viewMatrix, a, b);
    const glm::vec3 h = (b - a) * 0.5f;
    const glm::vec3 s = strike->position;
    const glm::vec3 corners[6] = {a, b, s - h, b, s + h, s - h};
    for (int i = 0; i < 6; ++i) {
        positions[static_cast<size_t>(4 * i + 0)] = corners[i].x;
        positions[static_cast<size_t>(4 * i + 1)] = corners[i].y;
        positions[static_cast<size_t>(4 * i + 2)] = corners[i].z;
        positions[static_cast<size_t>(4 * i + 3)] = 1.0f;
    }
    const float top = strikeScroll;
    const float bottom = strikeScroll + glm::length(s - camera->position) / strikeRepeatLength;
    texCoords = {{0.0f, top, 1.0f, top, 0.0f, bottom, 1.0f, top, 1.0f, bottom, 0.0f, bottom}};
}

void Game::updateStrike(float dt) {
    if (!strike->visible) return;
    strikeTimer += dt;
    strikeScroll -= strikeScrollSpeed * dt;

    glm::vec3 a, b;
    boltTop(camera->viewMatrix, a, b);
    const glm::vec3 down = strike->position - b;
    if (glm::length(down) > 0.0f) strike->direction = glm::normalize(down);
    buildStrikeGeometry(strikeGeometry.positions, strikeGeometry.texCoords);

    // A strike on a tree the camera flies to lasts until the camera has arrived.
    if (strikeTimer >= strikeDuration && camera->target == nullptr) endStrike();
}

void Game::endStrike() {
    if (!strike->visible) return;
    sound->pause(SoundLightningPick);
    strikeTimer = 0.0f;
    strike->visible = false;
}

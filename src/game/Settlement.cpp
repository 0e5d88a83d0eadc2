// Settlement.cpp -- a settlement's objects and placement, its holy grenade, its walls and monument.
#include "game/Settlement.h"

#include <algorithm>
#include <cmath>

#include "game/Random.h"
#include "game/SceneObject.h"
#include "math/Conventions.h"
#include "sound/SoundManager.h"

namespace {

// An offset in [-235, 234] around the settlement centre.
float randomOffset() { return static_cast<float>(draw15() % 470 - 235); }

// Settlement centre plus a random offset; z is drawn before x.
glm::vec3 randomSpot(const glm::vec3& centre) {
    const float dz = randomOffset();
    const float dx = randomOffset();
    return centre + glm::vec3(dx, 0.0f, dz);
}

// A grenade's progress: one unit per worker and second while it grows, ten a second lost while nobody works.
constexpr float grenadeFinished = 4000.0f;  // ready to throw
constexpr float grenadeWarning = -1260.0f;  // the settlement warns
constexpr float grenadeLost = -1800.0f;     // the settlement is lost

// Tree, statue and grenade stand at least this far apart.
constexpr float minimumSpacing = 235.0f;

// The magnitude of `magnitude` with the sign of `previous` (zero counts as positive).
float withSignOf(float magnitude, float previous) { return previous < 0.0f ? -magnitude : magnitude; }

}  // namespace

Settlement::Settlement(const glm::vec3& position_, int index_, const SettlementLinks& links_)
    : position(position_), index(index_), links(links_) {}

void Settlement::setup() {
    status = SettlementStatus::Active;

    tree = links.objects->create(ObjectType::SettlementTree);
    tree->scale = glm::vec3(12.0f);
    tree->rotationLimit.x = 5.0f;
    tree->rotationLimit.z = 5.0f;
    tree->boundingRadius = 100;
    tree->owner = this;

    moai = links.objects->create(ObjectType::MoaiStatue);
    moai->scale = glm::vec3(0.4f);
    moai->boundingRadius = 40;
    moai->owner = this;

    grenade = links.objects->create(ObjectType::HolyGrenade);
    grenade->scale = glm::vec3(30.0f);
    grenade->rotation = glm::vec3(0.0f);
    grenade->rotationLimit.x = 0.0f;
    grenade->rotationLimit.z = 0.0f;
    grenade->grenadeState = GrenadeState::Growing;
    grenade->boundingRadius = 40;
    grenade->owner = this;
    grenadeSize = 30.0f;

    grenadeBorder = links.objects->create(ObjectType::Prop);
    grenadeBorder->scale = glm::vec3(0.15f);
    grenadeBorder->owner = this;

    grenadeIndicator = links.objects->create(ObjectType::Prop);
    grenadeIndicator->scale = grenade->scale / 7.0f;
    grenadeIndicator->owner = this;

    wall = links.objects->create(ObjectType::Prop);
    wall->position = position;
    wall->scale = glm::vec3(66.42f, 61.5f, 66.42f);

    monument = links.objects->create(ObjectType::Prop);
    monument->position = glm::vec3(position.x, -225.0f, position.z);
    monument->scale = glm::vec3(75.0f);
    monument->risen = false;
    monument->owner = this;

    spawnTimer = 0.0f;
    workerCount = 0;
    warningTimer = 0.0f;
    grenadeProgress = 0.0f;
    mood = 0;
    goodPeople.clear();
    badPeople.clear();

    scatter();
}

void Settlement::scatter() {
    spawnInterval = static_cast<float>(randomUnit() + 1.0);

    tree->position = randomSpot(position);
    do {
        moai->position = randomSpot(position);
    } while (glm::distance(moai->position, tree->position) < minimumSpacing);
    do {
        do {
            grenade->position = randomSpot(position);
        } while (glm::distance(grenade->position, moai->position) < minimumSpacing);
    } while (glm::distance(grenade->position, tree->position) < minimumSpacing);

    moai->rotationSpeed.y = static_cast<float>(randomUnit() * 25.0 + 25.0);
    tree->rotationSpeed.x = static_cast<float>(randomUnit() * 3.0 + 2.0);
    tree->rotationSpeed.z = static_cast<float>(randomUnit() * 3.0 + 2.0);
    moai->rotation = glm::vec3(0.0f);
    tree->rotation = glm::vec3(0.0f);

    grenadeBorder->position = grenade->position;
}

void Settlement::updateGrenade(float dt) {
    SoundManager* const sound = links.sound;
    const float sy = grenade->scale.y;
    switch (grenade->grenadeState) {
    case GrenadeState::Growing: {
        if (workerCount > 0) {
            grenadeProgress += dt * static_cast<float>(workerCount);
        } else {
            grenadeProgress -= dt * 10.0f;
        }
        if (grenadeProgress >= grenadeFinished) {
            grenade->grenadeState = GrenadeState::Ready;
            grenade->rotation.x = 0.0f;
            grenade->rotation.z = 0.0f;
            grenade->faceTowards(tree->position - glm::vec3(grenade->position.x, 0.0f, grenade->position.z));
            if (sound) sound->play(SoundHolyGrenadeFinished);
            grenadeBorder->gone = true;
        } else if (grenadeProgress <= grenadeLost) {
            status = SettlementStatus::Lost;
            grenade->grenadeState = GrenadeState::Sunk;
            grenade->rotation.x = 0.0f;
            grenade->rotation.z = 0.0f;
        } else {
            status = SettlementStatus::Active;
            if (grenadeProgress >= 0.0f) {
                grenade->position.y = 1.87f * sy * grenadeProgress / grenadeFinished - 0.95f * sy;
                const float w = static_cast<float>(workerCount);
                grenade->rotationLimit.x = std::min(w, 30.0f);
                grenade->rotationLimit.z = std::min(w, 30.0f);
                grenade->rotationSpeed.x = withSignOf(w, grenade->rotationSpeed.x);
                grenade->rotationSpeed.z = withSignOf(w / 1.5f, grenade->rotationSpeed.z);
                grenade->rotationSpeed.y = 2.0f * w;
                grenade->animate(this, dt);
            } else {
                if (grenadeProgress <= grenadeWarning) status = SettlementStatus::Warning;
                grenade->position.y = -0.95f * sy - 0.8f * sy * grenadeProgress / grenadeLost;
            }
        }
        break;
    }
    case GrenadeState::Rolling: {
        const glm::vec3 ground(grenade->position.x, 0.0f, grenade->position.z);
        // A long step may not carry the grenade past its tree: it would roll on for ever.
        const float remaining = glm::distance(ground, tree->position);
        const float step = std::min(dt * 10.0f, remaining);
        grenade->position += grenade->heading() * step;
        grenade->rotationSpeed.x = -50.0f;
        grenade->animate(this, dt);
        const glm::vec3 rolled(grenade->position.x, 0.0f, grenade->position.z);
        if (glm::distance(rolled, tree->position) < 10.0f) {
            grenade->grenadeState = GrenadeState::Exploding;
            tree->gone = true;
            status = SettlementStatus::Won;
            if (sound) sound->play(SoundHolyGrenadeExplosion);
        }
        break;
    }
    case GrenadeState::Exploding: {
        grenade->rotation.x = 0.0f;
        const float f = 1.0f + 2.0f * dt;
        grenade->scale *= f;
        grenade->position.y *= f;
        if (grenade->scale.x >= 15.0f * grenadeSize) {
            grenade->grenadeState = GrenadeState::Gone;
            if (sound) sound->play(SoundHolyGrenadeFinished);
        }
        break;
    }
    default:
        break;
    }
}

void Settlement::updateIndicator(float dt) {
    grenadeIndicator->position = grenade->position;
    grenadeIndicator->rotation.y = omx::wrapDegrees(grenadeIndicator->rotation.y + 200.0f * dt);
    grenadeIndicator->position += grenadeIndicator->heading() * 40.0f;
}

void Settlement::updateWalls(float dt) {
    if (status == SettlementStatus::Warning) {
        warningTimer += dt;
        if (warningTimer >= 0.7f) {
            if (wall->blinkPhase && links.sound) links.sound->play(SoundWarning);
            warningTimer = 0.0f;
            wall->blinkPhase = !wall->blinkPhase;
        }
        wall->highlighted = wall->blinkPhase;
        grenadeBorder->highlighted = wall->blinkPhase;
    }
    if (status != SettlementStatus::Won && status != SettlementStatus::Lost) return;

    if (!monument->risen) {
        wall->highlighted = false;
        wall->position.y += 15.0f * dt;
        monument->position.y = (1.0f - wall->position.y / 60.0f) * (monument->scale.y * -3.0f);
        if (wall->position.y >= 60.0f) monument->risen = true;
    } else if (status == SettlementStatus::Won) {
        wall->position.y += 30.0f * dt;
        position = wall->position - glm::vec3(60.0f);
    } else {
        wall->position.y -= 3.0f * dt;
        position = wall->position - glm::vec3(60.0f);
    }
}

float Settlement::effectCloseness(EffectKind kind) const {
    if (!links.listener) return 0.0f;
    float range = 0.0f;
    if (kind == EffectKind::Crafting) {
        if (grenade->grenadeState != GrenadeState::Growing || workerCount < 1) return 0.0f;
        range = 500.0f;
    } else {
        if (grenade->grenadeState != GrenadeState::Rolling) return 0.0f;
        range = 800.0f;
    }
    const float d = glm::distance(links.listener->position, grenade->position);
    if (!(d <= range)) return 0.0f;
    return std::clamp(1.0f - d / range, 0.0f, 1.0f);
}

// People.cpp -- births, walking and the rules of good and bad people, and the per-frame settlement driver.
#include <cmath>

#include "game/Game.h"
#include "game/Random.h"
#include "game/SceneObject.h"
#include "game/Settlement.h"
#include "sound/SoundManager.h"

namespace {

// People walk this many units per second.
constexpr float walkSpeed = 40.0f;
// Half-width of the square around the settlement centre that people turn back into.
constexpr float squareHalfWidth = 307.0f;
// Good + bad people + good people killed by the player never exceed this in one settlement.
constexpr int populationLimit = 50;

constexpr float treeTemptRange = 60.0f;
constexpr float treeTouchRange = 10.0f;
constexpr float grenadeFaceRange = 70.0f;
constexpr float grenadeWorkRange = 50.0f;
constexpr float conversionHearingRange = 300.0f;
// Seconds a struck person lives on.
constexpr float struckLifetime = 1.0f;

void playSound(SoundManager* sound, int type) {
    if (sound) sound->play(type);
}

// The apple bite of a conversion, as loud as the camera is close, unless one is already heard.
void playConversionSound(const SettlementLinks& links, float range, const glm::vec3& where) {
    if (!links.sound || !links.listener || links.sound->isPlaying(SoundApple)) return;
    const float d = glm::distance(links.listener->position, where);
    if (d <= range) {
        links.sound->setVolume(SoundApple, std::fmin(std::fmax(1.0f - d / range, 0.0f), 1.0f));
        links.sound->play(SoundApple);
    }
}

// Distance from a person to the grenade over the ground (the grenade's height ignored).
float groundDistanceToGrenade(const SceneObject& person, const SceneObject& grenade) {
    return glm::distance(person.position, glm::vec3(grenade.position.x, 0.0f, grenade.position.z));
}

// Turns a person towards the grenade as it stands on the ground.
void faceGrenade(SceneObject& person, const SceneObject& grenade) {
    person.faceTowards(glm::vec3(grenade.position.x - person.position.x, 0.0f - person.position.y,
                                 grenade.position.z - person.position.z));
}

// Adds random turns of 70..130 degrees until the heading passes the test. A run of turns always ends
// within a few steps; the bound only guards against a corrupted angle.
template <typename Test>
void turnUntil(SceneObject& person, Test headingOk) {
    for (int attempt = 0; attempt < 64 && !headingOk(person.heading()); ++attempt)
        person.rotation.y += static_cast<float>(randomUnit() * 60.0 + 70.0);
}

// The dragger takes the first Working good person to the tree; with no worker it walks on.
void takeWorker(Settlement& s, SceneObject& dragger) {
    for (SceneObject* const victim : s.goodPeople) {
        if (victim->personState != PersonState::Working) continue;
        s.workerCount -= 1;
        dragger.personState = PersonState::Dragging;
        victim->personState = PersonState::Dragged;
        victim->target = &dragger;
        const glm::vec3 towardsTree = s.tree->position - dragger.position;
        dragger.faceTowards(towardsTree);
        victim->faceTowards(towardsTree);
        victim->position = dragger.position - victim->heading() * 10.0f;
        return;
    }
}

// A struck person dies one second after the strike; true at that moment (the person is then Gone).
bool struckPersonDies(SceneObject& person, float dt) {
    person.stateTimer += dt;
    if (person.stateTimer < struckLifetime) return false;
    person.personState = PersonState::Gone;
    return true;
}

}  // namespace

void Settlement::spawnPeople(float dt) {
    spawnTimer += dt;
    if (spawnTimer >= spawnInterval) {
        spawnTimer = 0.0f;
        const int count = static_cast<int>(goodPeople.size() + badPeople.size());
        if (count < populationLimit - deadGoodCount) {
            SceneObject* const p = links.objects->create(ObjectType::GoodPerson);
            p->personState = PersonState::Wandering;
            p->boundingRadius = 20;
            p->owner = this;
            p->rotation = moai->rotation;
            p->position = moai->position + p->heading() * 5.0f;
            p->scale = glm::vec3(7.5f);
            p->rotationSpeed.x = -static_cast<float>(randomUnit() * 20.0 + 20.0);
            p->rotationSpeed.z = -static_cast<float>(randomUnit() * 20.0 + 120.0);
            goodPeople.push_back(p);
        }
    }
    moai->animate(this, dt);
}

void Settlement::walk(SceneObject& person, float distance) {
    if (!std::isfinite(person.rotation.y)) person.rotation.y = 0.0f;
    const glm::vec3& p = person.position;
    if (p.x >= position.x + squareHalfWidth) {
        turnUntil(person, [](const glm::vec3& h) { return h.x < -0.01f; });
    } else if (p.x <= position.x - squareHalfWidth) {
        turnUntil(person, [](const glm::vec3& h) { return h.x > 0.01f; });
    } else if (p.z <= position.z - squareHalfWidth) {
        turnUntil(person, [](const glm::vec3& h) { return h.z > 0.01f; });
    } else if (p.z >= position.z + squareHalfWidth) {
        turnUntil(person, [](const glm::vec3& h) { return h.z < -0.01f; });
    }
    person.position += person.heading() * distance;
}

void Settlement::updateGoodPeople(float dt) {
    for (size_t i = 0; i < goodPeople.size();) {
        SceneObject* const p = goodPeople[i];
        if (p->personState == PersonState::Gone) {
            goodPeople.erase(goodPeople.begin() + static_cast<std::ptrdiff_t>(i));
            continue;
        }
        if (p->personState == PersonState::Struck) {
            // The player's strike kills in every status: a struck person keeps to the settlement's height while
            // it waits, and neither a win nor a loss changes it.
            if (!standing()) p->position.y = position.y;
            if (struckPersonDies(*p, dt)) {
                deadGoodCount += 1;
                playSound(links.sound, SoundGodRegret);
            }
        } else if (status == SettlementStatus::Lost) {
            p->type = ObjectType::BadPerson;
            p->personState = PersonState::Wandering;
            goodPeople.erase(goodPeople.begin() + static_cast<std::ptrdiff_t>(i));
            badPeople.push_back(p);
            continue;
        } else if (status == SettlementStatus::Won) {
            p->position.y = position.y;
        } else if (p->personState == PersonState::Wandering || p->personState == PersonState::Dragged || p->personState == PersonState::Sent) {
            walk(*p, walkSpeed * dt);
            if ((p->personState == PersonState::Wandering || p->personState == PersonState::Dragged) && !tree->gone) {
                const float d = glm::distance(p->position, tree->position);
                if (d < treeTemptRange) p->faceTowards(tree->position - p->position);
                if (d < treeTouchRange) {
                    p->type = ObjectType::BadPerson;
                    p->personState = PersonState::Wandering;
                    goodPeople.erase(goodPeople.begin() + static_cast<std::ptrdiff_t>(i));
                    badPeople.push_back(p);
                    playConversionSound(links, conversionHearingRange, tree->position);
                    continue;
                }
            }
            if ((p->personState == PersonState::Wandering || p->personState == PersonState::Sent) && grenade->grenadeState == GrenadeState::Growing) {
                const float d = groundDistanceToGrenade(*p, *grenade);
                if (d < grenadeFaceRange) faceGrenade(*p, *grenade);
                if (d < grenadeWorkRange) {
                    p->personState = PersonState::Working;
                    workerCount += 1;
                }
            } else if (p->personState == PersonState::Dragged && p->target && p->target->personState == PersonState::Struck) {
                p->target = nullptr;
                p->personState = PersonState::Sent;
                p->rotation.y += 180.0f;
            }
        } else if (p->personState == PersonState::Working && grenade->grenadeState != GrenadeState::Growing) {
            p->personState = PersonState::Wandering;
        }
        p->animate(this, dt);
        ++i;
    }
}

void Settlement::updateBadPeople(float dt) {
    for (size_t i = 0; i < badPeople.size();) {
        SceneObject* const q = badPeople[i];
        if (q->personState == PersonState::Gone) {
            badPeople.erase(badPeople.begin() + static_cast<std::ptrdiff_t>(i));
            continue;
        }
        if (q->personState == PersonState::Struck) {
            // As for good people: the strike kills whatever becomes of the settlement.
            if (!standing()) q->position.y = position.y;
            if (struckPersonDies(*q, dt)) playSound(links.sound, SoundGodLaugh1 + draw15() % 3);
        } else if (status == SettlementStatus::Lost) {
            q->position.y = position.y;
        } else if (tree->gone) {
            q->personState = PersonState::Gone;
        } else if (q->personState == PersonState::Wandering) {
            walk(*q, walkSpeed * dt);
            if (workerCount > 0 && grenade->grenadeState == GrenadeState::Growing) {
                const float d = groundDistanceToGrenade(*q, *grenade);
                if (d < grenadeFaceRange) faceGrenade(*q, *grenade);
                if (d < grenadeWorkRange) takeWorker(*this, *q);
            }
        } else if (q->personState == PersonState::Dragging) {
            walk(*q, walkSpeed * dt);
            if (glm::distance(q->position, tree->position) < treeTouchRange) q->personState = PersonState::Wandering;
        }
        q->animate(this, dt);
        ++i;
    }
}

void Game::updateSettlements(float dt, bool firstUpdateStep) {
    for (Settlement* const s : settlements) {
        if (!s) continue;
        if (state != GameState::Intro || firstUpdateStep) {
            s->updateGrenade(dt);
            s->updateIndicator(dt);
            s->spawnPeople(dt);
            s->tree->animate(s, dt);
            if (s->status == SettlementStatus::Lost) s->tree->position.y = s->position.y;
            s->updateGoodPeople(dt);
            s->updateBadPeople(dt);
            s->updateWalls(dt);
        }
        const bool badLeaning = s->badPeople.size() > s->goodPeople.size() || s->status == SettlementStatus::Warning ||
                                s->status == SettlementStatus::Lost;
        s->mood = badLeaning ? 1 : -1;
    }
}

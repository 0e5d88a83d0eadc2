// GameStatus.cpp -- the status display's input taken from the game, its messages, the mark under a pixel, and the
// flight to a settlement by its number.
#include "game/GameStatus.h"

#include <algorithm>
#include <cmath>

#include "game/Game.h"
#include "game/Settlement.h"
#include "sound/SoundManager.h"

namespace {

// A grenade is ready to throw at this progress.
constexpr float grenadeFinished = 4000.0f;

GameOutcome outcomeOf(GameState state) {
    switch (state) {
        case GameState::Won: return GameOutcome::Won;
        case GameState::Lost: return GameOutcome::Lost;
        default: return GameOutcome::Playing;
    }
}

// Where the camera flies for a settlement: its tree while it stands, its monument once it is decided.
SceneObject* flightGoal(const Settlement& settlement) {
    if (settlement.standing() && settlement.tree && !settlement.tree->gone) return settlement.tree;
    return settlement.monument;
}

}  // namespace

MarkStatus markStatusOf(const Settlement& settlement) {
    switch (settlement.status) {
        case SettlementStatus::Warning: return MarkStatus::Warning;
        case SettlementStatus::Lost: return MarkStatus::Lost;
        case SettlementStatus::Won: return MarkStatus::Won;
        case SettlementStatus::Active: break;
    }
    if (!settlement.grenade) return MarkStatus::BeingBuilt;
    switch (settlement.grenade->grenadeState) {
        case GrenadeState::Ready: return MarkStatus::ReadyToThrow;
        case GrenadeState::Rolling:
        case GrenadeState::Exploding: return MarkStatus::Thrown;
        default: return MarkStatus::BeingBuilt;
    }
}

StatusInput statusInputOf(const Game& game) {
    StatusInput input;
    for (std::size_t i = 0; i < input.settlements.size() && i < game.settlements.size(); ++i) {
        const Settlement* settlement = game.settlements[i];
        if (!settlement) continue;
        SettlementInput& mark = input.settlements[i];
        const glm::vec3 place = settlement->wall ? settlement->wall->position : settlement->position;
        mark.position = glm::vec2(place.x, place.z);
        mark.status = markStatusOf(*settlement);
        mark.blinkOn = settlement->wall && settlement->wall->blinkPhase;
        const float share = settlement->grenadeProgress / grenadeFinished;
        mark.progress = std::isfinite(share) ? std::clamp(share, 0.0f, 1.0f) : 0.0f;
        if (settlement->status == SettlementStatus::Won) ++input.wonCount;
        if (settlement->status == SettlementStatus::Lost) ++input.lostCount;
    }
    if (game.camera) input.cameraPosition = glm::vec2(game.camera->position.x, game.camera->position.z);
    input.cameraDirection = glm::vec2(game.lastHorizontalDirection.x, game.lastHorizontalDirection.z);
    input.outcome = outcomeOf(game.state);
    input.speed = game.timeScale;
    input.paused = game.paused;
    input.intro = game.state == GameState::Intro;
    return input;
}

int settlementMarkAt(const Game& game, const MousePosition& cursor) {
    if (game.statusNow.intro) return -1;  // the intro shows no map
    const StatusLayout layout = statusLayout(game.windowWidth, game.windowHeight);
    const glm::vec2 pixel(static_cast<float>(cursor.x) + 0.5f, static_cast<float>(cursor.y) + 0.5f);
    return markAt(layout, statusView(game.statusNow), pixel);
}

void Game::updateStatus(float realDt) {
    const StatusInput now = statusInputOf(*this);
    // The first frame has nothing to compare with: it says nothing.
    messageLog.update(statusTaken ? statusNow : now, now, paused ? 0.0f : realDt);
    statusNow = now;
    statusTaken = true;
}

void Game::flyToSettlement(int index) {
    if (overviewMode || state == GameState::Intro || index < 0 || index >= static_cast<int>(settlements.size())) return;
    const Settlement* settlement = settlements[static_cast<std::size_t>(index)];
    SceneObject* goal = settlement ? flightGoal(*settlement) : nullptr;
    if (!goal) return;
    camera->target = goal;
    // A paused world takes no lightning.
    if (paused) return;
    strike->position = goal->position;
    strike->visible = true;
    strikeTimer = 0.0f;
    strikeKind = StrikeKind::Pick;
    sound->play(SoundLightningPick);
}

// SettlementDraw.cpp -- a settlement's grenade and people, drawn with whatever program and vertex array are current.
#include "assets/Model.h"
#include "game/Game.h"
#include "game/Settlement.h"
#include "render/Render.h"

namespace {

// Both passes draw people the same way; the monument stands for the settlement once it is decided.
void drawPeople(Game& game, const Settlement& settlement, const std::vector<SceneObject*>& people,
                const Model& model, bool showMonument) {
    for (SceneObject* person : people) {
        if (!person || person->state == Gone || !game.isVisible(*person) || !game.reachesView(*person)) continue;
        game.setObjectUniforms(*person, &settlement, model);
        drawMeshes(model, "normal", false, -1);
    }
    if (showMonument && settlement.monument) {
        game.setObjectUniforms(*settlement.monument, &settlement, model);
        drawMeshes(model, "normal", false, -1);
    }
}

}  // namespace

void Settlement::drawGrenade() {
    if (!grenade || grenade->state == GrenadeGone || !game->isVisible(*grenade)) return;
    // The model carries the mode on to the indicators drawn after the grenades.
    game->grenadeModel->useTexture = grenadeTextureMode(grenade->state);
    if (!game->reachesView(*grenade)) return;
    game->setObjectUniforms(*grenade, this, *game->grenadeModel);
    drawMeshes(*game->grenadeModel, "normal", false, -1);
}

void Settlement::drawGoodPeople() {
    drawPeople(*game, *this, goodPeople, *game->goodPersonModel, status == SettlementWon);
}

void Settlement::drawBadPeople() {
    drawPeople(*game, *this, badPeople, *game->badPersonModel, status == SettlementLost);
}

// Pause.cpp -- holding the world and its sounds still, and letting them go on.
#include "game/Game.h"
#include "sound/SoundManager.h"

void Game::setPaused(bool pause) {
    if (pause == paused) return;
    paused = pause;
    if (!sound) return;
    if (paused)
        sound->pauseAll();
    else
        sound->resumeAll();
}

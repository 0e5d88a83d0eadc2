// GameStatus.h -- the status display's view of one game: what each settlement's mark shows, where the camera is
// and looks, the counts, speed and pause, and which settlement's mark lies under a window pixel.
#pragma once

#include "game/Input.h"
#include "game/StatusDisplay.h"

class Game;
class Settlement;

// A decided or warning settlement shows its status; otherwise its grenade says: ready to throw, thrown (rolling
// or exploding), or still being built.
MarkStatus markStatusOf(const Settlement& settlement);

// The display's input for the game as it stands; reads the game and changes nothing. A settlement is placed at its
// wall (which stays where it was built while a decided settlement floats up or sinks), its progress is the share
// of its grenade's work done, and the camera looks along its last horizontal direction.
StatusInput statusInputOf(const Game& game);

// The settlement (0..4) whose mark the status display shows under the cursor (framebuffer pixels from the
// top-left corner) in the game's window, as the last update left it; -1 when no mark is there.
int settlementMarkAt(const Game& game, const MousePosition& cursor);

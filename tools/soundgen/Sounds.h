// Sounds.h -- the game's sixteen sounds, each made from source by one function with a fixed seed.
#pragma once

#include <vector>

#include "Synth.h"

namespace soundgen {

// Loops are periodic over their whole length: the last sample runs on into the first.
Samples makeMusicGood();                 // loop, bright major-key piece
Samples makeMusicBad();                  // loop, dark minor-key piece
Samples makeApple();                     // a good person turns bad: crunchy bite
Samples makeGrenadeRolling();            // loop, low rumbling roll
Samples makeGrenadeCrafting();           // loop, hammering and chiselling
Samples makeGrenadeFinished();           // bright choir chord
Samples makeGrenadeExplosion();          // boom with falling debris
Samples makeLightningPick();             // loop, crackling electric hum
Samples makeLightningShoot();            // sharp thunder crack
Samples makePeopleShot();                // zap and a small yelp
Samples makeGodRegret();                 // "oh no", a falling sigh
Samples makeGodLaugh(int which);         // four different deep laughs, which = 1..4
Samples makeWarning();                   // alarm bell

// Renders the sound of the given type (index into soundFiles, whose names and bit rates the files get).
Samples renderSound(int type);

// Sets a rendered sound to its level in the game's mix, its peaks held under peakCeiling.
void levelSound(Samples& sound, int type, float peakCeiling);

// The MP3 file of the given type: rendered, levelled, encoded, and decoding without reaching full scale. No bytes
// when the type is unknown or the encoder fails.
std::vector<unsigned char> makeSoundFile(int type);

}  // namespace soundgen

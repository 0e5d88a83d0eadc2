// Catalogue.cpp -- the function that makes each sound type.
#include "Sounds.h"

namespace soundgen {

Samples makeSound(int type) {
    switch (type) {
        case 0: return makeMusicGood();
        case 1: return makeMusicBad();
        case 2: return makeApple();
        case 3: return makeGrenadeRolling();
        case 4: return makeGrenadeCrafting();
        case 5: return makeGrenadeFinished();
        case 6: return makeGrenadeExplosion();
        case 7: return makeLightningPick();
        case 8: return makeLightningShoot();
        case 9: return makePeopleShot();
        case 10: return makeGodRegret();
        case 11: return makeGodLaugh(1);
        case 12: return makeGodLaugh(2);
        case 13: return makeGodLaugh(3);
        case 14: return makeGodLaugh(4);
        case 15: return makeWarning();
        default: return {};
    }
}

}  // namespace soundgen

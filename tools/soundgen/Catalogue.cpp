// Catalogue.cpp -- which file each sound type is written to, whether it loops and how it is encoded.
#include "Sounds.h"

namespace soundgen {

const std::vector<SoundFile>& soundFiles() {
    static const std::vector<SoundFile> files = {
        {"MusicGood.mp3", true, 128},
        {"MusicBad.mp3", true, 128},
        {"SoundApple.mp3", false, 64},
        {"SoundHolyGrenadeRolling.mp3", true, 64},
        {"SoundHolyGrenadeCrafting.mp3", true, 64},
        {"SoundHolyGrenadeFinished.mp3", false, 64},
        {"SoundHolyGrenadeExplosion.mp3", false, 64},
        {"SoundLightningPick.mp3", true, 64},
        {"SoundLightningShoot.mp3", false, 64},
        {"SoundPeopleShot.mp3", false, 64},
        {"SoundGodRegret.mp3", false, 64},
        {"SoundGodLaugh1.mp3", false, 64},
        {"SoundGodLaugh2.mp3", false, 64},
        {"SoundGodLaugh3.mp3", false, 64},
        {"SoundGodLaugh4.mp3", false, 64},
        {"SoundWarning.mp3", false, 64},
    };
    return files;
}

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

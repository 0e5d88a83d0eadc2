// SoundCatalogue.h -- the sixteen sound types and their files: name, whether the sound loops, and the bit rate it
// is encoded at. The game loads these files and the sound generator writes them.
#pragma once

enum SoundType {
    MusicGood = 0,
    MusicBad = 1,
    SoundApple = 2,
    SoundHolyGrenadeRolling = 3,
    SoundHolyGrenadeCrafting = 4,
    SoundHolyGrenadeFinished = 5,
    SoundHolyGrenadeExplosion = 6,
    SoundLightningPick = 7,
    SoundLightningShoot = 8,
    SoundPeopleShot = 9,
    SoundGodRegret = 10,
    SoundGodLaugh1 = 11,
    SoundGodLaugh2 = 12,
    SoundGodLaugh3 = 13,
    SoundGodLaugh4 = 14,
    SoundWarning = 15,
};

constexpr int soundTypeCount = 16;

struct SoundFile {
    const char* name;
    bool loops;
    int bitRateKbps;
};

// Indexed by sound type. The thunder of the player's strike is dense noise made loud enough for its low channel
// volume; at 64 kbps its coding noise would reach full scale, so it gets 96.
inline constexpr SoundFile soundFiles[soundTypeCount] = {
    {"MusicGood.mp3", true, 128},
    {"MusicBad.mp3", true, 128},
    {"SoundApple.mp3", false, 64},
    {"SoundHolyGrenadeRolling.mp3", true, 64},
    {"SoundHolyGrenadeCrafting.mp3", true, 64},
    {"SoundHolyGrenadeFinished.mp3", false, 64},
    {"SoundHolyGrenadeExplosion.mp3", false, 64},
    {"SoundLightningPick.mp3", true, 64},
    {"SoundLightningShoot.mp3", false, 96},
    {"SoundPeopleShot.mp3", false, 64},
    {"SoundGodRegret.mp3", false, 64},
    {"SoundGodLaugh1.mp3", false, 64},
    {"SoundGodLaugh2.mp3", false, 64},
    {"SoundGodLaugh3.mp3", false, 64},
    {"SoundGodLaugh4.mp3", false, 64},
    {"SoundWarning.mp3", false, 64},
};

// Catalogue.cpp -- the function that makes each sound type, and the loudness each one is set to in the mix.
#include <cmath>

#include "Loudness.h"
#include "Mp3Encoder.h"
#include "Sounds.h"
#include "sound/SoundCatalogue.h"

namespace soundgen {

namespace {

// Where each sound sits in the game's mix, as the player hears it (LUFS, EBU R128): one-shots by their loudest
// 400 ms, loops and music by their integrated loudness. The file is made louder by what the game's channel volume
// takes away (the thunder plays at 0.3, the warning at 0.5, the pick beam at 0.8, the music at 0.5 away from the
// grenades). The climax is loudest (the explosion, then the finished grenade), the player's own thunder next, the
// god's voice and the cues of the world under them, the loops under every one-shot and the music under the loops.
struct MixLevel {
    double heardLufs;
    float gameVolume;
};

constexpr MixLevel kMixLevels[soundTypeCount] = {
    {-26.0, 0.5f},  // MusicGood
    {-26.0, 0.5f},  // MusicBad
    {-20.0, 1.0f},  // SoundApple
    {-22.0, 1.0f},  // SoundHolyGrenadeRolling
    {-23.0, 1.0f},  // SoundHolyGrenadeCrafting
    {-16.0, 1.0f},  // SoundHolyGrenadeFinished
    {-15.0, 1.0f},  // SoundHolyGrenadeExplosion
    {-23.0, 0.8f},  // SoundLightningPick
    {-17.5, 0.3f},  // SoundLightningShoot
    {-18.5, 1.0f},  // SoundPeopleShot
    {-18.0, 1.0f},  // SoundGodRegret
    {-18.0, 1.0f},  // SoundGodLaugh1
    {-18.0, 1.0f},  // SoundGodLaugh2
    {-18.0, 1.0f},  // SoundGodLaugh3
    {-18.0, 1.0f},  // SoundGodLaugh4
    {-18.5, 0.5f},  // SoundWarning
};

}  // namespace

Samples renderSound(int type) {
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

namespace {

// Leaves out what the encoder would leave out (a fourth-order lowpass at its cut-off), so that the loudness set
// here is the loudness the decoded file has: bright noise loses a decibel above 16 kHz otherwise.
void keepToEncoderBand(Samples& sound, int bitRateKbps, bool looped) {
    const int cutoffHz = encoderLowpassHz(bitRateKbps);
    if (cutoffHz <= 0 || cutoffHz >= kSampleRate * 0.45) return;  // nothing of the sounds lies up there
    Biquad first, second;
    first.setLowpass(static_cast<float>(cutoffHz), 0.5412f);
    second.setLowpass(static_cast<float>(cutoffHz), 1.3066f);
    const auto filter = [&](float x) { return second.process(first.process(x)); };
    if (looped)
        processLooped(sound, filter);
    else
        for (float& x : sound) x = filter(x);
}

}  // namespace

void levelSound(Samples& sound, int type, float peakCeiling) {
    if (type < 0 || type >= soundTypeCount) return;
    keepToEncoderBand(sound, soundFiles[type].bitRateKbps, soundFiles[type].loops);
    const MixLevel& level = kMixLevels[type];
    const double fileLufs = level.heardLufs - 20.0 * std::log10(static_cast<double>(level.gameVolume));
    setLoudness(sound, fileLufs, soundFiles[type].loops, peakCeiling);
}

std::vector<unsigned char> makeSoundFile(int type) {
    const Samples rendered = renderSound(type);
    if (type < 0 || type >= soundTypeCount || rendered.empty()) return {};
    // Peaks start a little under full scale; where the coding noise of a dense sound still reaches full scale in
    // the decoded file, the sound is levelled again under a lower ceiling.
    std::vector<unsigned char> bytes;
    for (float ceiling = 0.89f; ceiling > 0.5f; ceiling *= 0.94f) {
        Samples sound = rendered;
        levelSound(sound, type, ceiling);
        bytes = encodeMp3(sound, soundFiles[type].bitRateKbps, soundFiles[type].loops);
        if (bytes.empty() || countClippedWhenDecoded(bytes) == 0) break;
    }
    return bytes;
}

}  // namespace soundgen

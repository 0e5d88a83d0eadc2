// SoundDecoding.h -- the generated sound files as the game hears them: decoded by SDL2_mixer.
#pragma once

#include <SDL.h>
#include <SDL_mixer.h>

#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace soundtest {

// The sixteen files in sound-type order, with the play mode the game uses and the length that fits the event.
struct ExpectedSound {
    const char* fileName;
    bool loops;
    double minSeconds, maxSeconds;
};
// Effects are short; the warning must end before the wall's next blink (1.4 s later).
inline const std::vector<ExpectedSound> expectedSounds = {
    {"MusicGood.mp3", true, 30.0, 90.0},
    {"MusicBad.mp3", true, 30.0, 90.0},
    {"SoundApple.mp3", false, 0.15, 1.0},
    {"SoundHolyGrenadeRolling.mp3", true, 1.0, 5.0},
    {"SoundHolyGrenadeCrafting.mp3", true, 1.0, 5.0},
    {"SoundHolyGrenadeFinished.mp3", false, 1.0, 5.0},
    {"SoundHolyGrenadeExplosion.mp3", false, 1.5, 6.0},
    {"SoundLightningPick.mp3", true, 0.5, 3.0},
    {"SoundLightningShoot.mp3", false, 0.4, 3.0},
    {"SoundPeopleShot.mp3", false, 0.2, 1.2},
    {"SoundGodRegret.mp3", false, 0.8, 4.0},
    {"SoundGodLaugh1.mp3", false, 0.8, 4.0},
    {"SoundGodLaugh2.mp3", false, 0.8, 4.0},
    {"SoundGodLaugh3.mp3", false, 0.8, 4.0},
    {"SoundGodLaugh4.mp3", false, 0.8, 4.0},
    {"SoundWarning.mp3", false, 0.3, 1.3},
};

// The folder the build writes the sounds to.
inline const std::string builtSoundFolder = OMNIVEX_BINARY_DIR "/resources/sounds/";

struct DecodedSound {
    bool loaded = false;
    int sampleRate = 0;
    std::vector<float> samples;  // first channel, full scale +-1
    double seconds() const { return sampleRate > 0 ? static_cast<double>(samples.size()) / sampleRate : 0.0; }
};

// Decodes a file with Mix_LoadWAV on the silent SDL audio driver (opened once, 44.1 kHz, 16-bit).
inline DecodedSound decodeSound(const std::string& path) {
    static const bool open = [] {
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        if (SDL_Init(SDL_INIT_AUDIO) != 0) return false;
        Mix_Init(MIX_INIT_MP3);
        return Mix_OpenAudio(44100, AUDIO_S16SYS, 1, 1024) == 0;
    }();
    DecodedSound sound;
    int rate = 0, channels = 0;
    Uint16 format = 0;
    if (!open || !Mix_QuerySpec(&rate, &format, &channels) || format != AUDIO_S16SYS || channels < 1) return sound;
    Mix_Chunk* chunk = Mix_LoadWAV(path.c_str());
    if (!chunk) return sound;
    sound.samples.resize(chunk->alen / (sizeof(Sint16) * channels));
    for (size_t i = 0; i < sound.samples.size(); ++i) {
        Sint16 value = 0;
        std::memcpy(&value, chunk->abuf + i * sizeof(Sint16) * channels, sizeof(value));
        sound.samples[i] = value / 32768.0f;
    }
    Mix_FreeChunk(chunk);
    sound.sampleRate = rate;
    sound.loaded = true;
    return sound;
}

// Decoded once per process and kept: the built file of the given sound type.
inline const DecodedSound& builtSound(int type) {
    static std::map<int, DecodedSound> cache;
    auto found = cache.find(type);
    if (found == cache.end())
        found = cache.emplace(type, decodeSound(builtSoundFolder + expectedSounds.at(type).fileName)).first;
    return found->second;
}

}  // namespace soundtest

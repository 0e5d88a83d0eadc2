// SoundDecoding.cpp -- opens SDL2_mixer on the dummy driver and decodes MP3 files to float samples.
#include "SoundDecoding.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <cstdlib>
#include <cstring>
#include <map>

namespace soundtest {

const std::vector<ExpectedSound>& expectedSounds() {
    // Effects are short; the warning must end before the wall's next blink (1.4 s later).
    static const std::vector<ExpectedSound> sounds = {
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
    return sounds;
}

std::string builtSoundFolder() { return std::string(OMNIVEX_BINARY_DIR) + "/resources/sounds/"; }

namespace {

struct Mixer {
    bool open = false;
    int rate = 0;
    Uint16 format = 0;
    int channels = 0;
};

const Mixer& mixer() {
    static const Mixer opened = [] {
        Mixer m;
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        if (SDL_Init(SDL_INIT_AUDIO) != 0) return m;
        Mix_Init(MIX_INIT_MP3);
        if (Mix_OpenAudio(44100, AUDIO_S16SYS, 1, 1024) != 0) return m;
        m.open = Mix_QuerySpec(&m.rate, &m.format, &m.channels) != 0;
        return m;
    }();
    return opened;
}

}  // namespace

DecodedSound decodeSound(const std::string& path) {
    DecodedSound sound;
    const Mixer& m = mixer();
    if (!m.open || m.format != AUDIO_S16SYS || m.channels < 1) return sound;
    Mix_Chunk* chunk = Mix_LoadWAV(path.c_str());
    if (!chunk) return sound;
    const size_t frames = chunk->alen / (sizeof(Sint16) * m.channels);
    sound.samples.resize(frames);
    for (size_t i = 0; i < frames; ++i) {
        Sint16 value = 0;
        std::memcpy(&value, chunk->abuf + i * sizeof(Sint16) * m.channels, sizeof(value));
        sound.samples[i] = value / 32768.0f;
    }
    Mix_FreeChunk(chunk);
    sound.sampleRate = m.rate;
    sound.loaded = true;
    return sound;
}

const DecodedSound& builtSound(int type) {
    static std::map<int, DecodedSound> cache;
    auto found = cache.find(type);
    if (found == cache.end())
        found = cache.emplace(type, decodeSound(builtSoundFolder() + expectedSounds().at(type).fileName)).first;
    return found->second;
}

}  // namespace soundtest

// DecodedSounds.cpp -- SDL2_mixer on the silent driver, decoding the built sounds to mono floats.
#include "support/DecodedSounds.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <array>
#include <cstdlib>
#include <cstring>

#include "sound/SoundCatalogue.h"

namespace omxtest {

std::string builtSoundPath(int type) {
    return OMNIVEX_BINARY_DIR "/resources/sounds/" + std::string(soundFiles[type].name);
}

const DecodedSound& builtSound(int type) {
    static int rate = 0;
    static const bool open = [] {
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        int channels = 0;
        Uint16 format = 0;
        return SDL_Init(SDL_INIT_AUDIO) == 0 && Mix_Init(MIX_INIT_MP3) >= 0 &&
               Mix_OpenAudio(44100, AUDIO_F32SYS, 1, 1024) == 0 && Mix_QuerySpec(&rate, &format, &channels) &&
               format == AUDIO_F32SYS && channels == 1;
    }();
    static std::array<DecodedSound, soundTypeCount> cache;
    DecodedSound& sound = cache.at(type);
    Mix_Chunk* const chunk = open && sound.samples.empty() ? Mix_LoadWAV(builtSoundPath(type).c_str()) : nullptr;
    if (chunk) {
        sound.sampleRate = rate;
        sound.samples.resize(chunk->alen / sizeof(float));
        std::memcpy(sound.samples.data(), chunk->abuf, sound.samples.size() * sizeof(float));
        Mix_FreeChunk(chunk);
    }
    return sound;
}

}  // namespace omxtest

// FuzzSound.cpp -- libFuzzer target: any bytes as a sound file through the MP3 check and then the mixer's
// decoder, opened the way the sound manager opens it (SDL's silent driver, the format chosen for the device, a
// whole-file decode of what the check lets through).
#include <cstdint>
#include <cstdlib>

#include <SDL.h>
#include <SDL_mixer.h>

#include <string>

#include "sound/SoundFileCheck.h"
#include "sound/SoundRules.h"

namespace {

void openMixerOnce() {
    static const bool open = [] {
        SDL_SetHint(SDL_HINT_AUDIODRIVER, "dummy");
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
        const AudioFormat format = chooseAudioFormat(SDL_GetAudioDeviceName(0, 0));
        if (Mix_OpenAudio(format.frequency, format.format, format.channels, format.chunkSize) != 0) return false;
        Mix_Init(MIX_INIT_MP3);
        return true;
    }();
    if (!open) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    openMixerOnce();
    SDL_RWops* const file = SDL_RWFromConstMem(data, static_cast<int>(size));
    if (!file) return 0;
    std::string reason;
    if (!checkMp3File(file, reason)) {
        SDL_RWclose(file);
        return 0;
    }
    if (Mix_Chunk* const chunk = Mix_LoadWAV_RW(file, 1)) Mix_FreeChunk(chunk);
    return 0;
}

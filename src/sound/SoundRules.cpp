// SoundRules.cpp -- output format, volume and version decisions, free of any device.
#include "sound/SoundRules.h"

#include <cmath>
#include <cstring>
#include <tuple>

#include <SDL.h>
#include <SDL_mixer.h>

AudioFormat chooseAudioFormat(const char* deviceName) {
    AudioFormat chosen;
    if (deviceName && std::strstr(deviceName, "SigmaTel")) {
        chosen.frequency = 48000;
        chosen.format = AUDIO_F32SYS;
    } else {
        chosen.frequency = MIX_DEFAULT_FREQUENCY;
        chosen.format = MIX_DEFAULT_FORMAT;
    }
    return chosen;
}

float clampVolume(float volume) {
    if (!(volume <= 1.0f)) volume = 1.0f;  // also catches NaN
    if (volume < 0.0f) volume = 0.0f;
    return volume;
}

int mixerVolume(float volume, bool muted) {
    if (muted) return 0;
    return static_cast<int>(std::lround(clampVolume(volume) * MIX_MAX_VOLUME));
}

bool mixerVersionSupported(int major, int minor, int patch) {
    // Compared part by part: SDL_VERSIONNUM would let a minor or patch number above 9 spill over.
    return std::make_tuple(major, minor, patch) >= std::make_tuple(2, 0, 0);
}

std::string oldMixerVersionLine(int major, int minor, int patch) {
    return "Error! You are using an old version of SDL_mixer " + std::to_string(major) + "." +
           std::to_string(minor) + "." + std::to_string(patch) + ". This program requires 2.0.0";
}

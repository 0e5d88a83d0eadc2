// SoundRules.h -- the sound manager's pure decisions: output format, volume clamping, mixer version.
#pragma once

#include <cstdint>
#include <string>

// What the audio device is opened with.
struct AudioFormat {
    int frequency = 0;     // samples per second
    uint16_t format = 0;   // an SDL AUDIO_* sample format
    int channels = 1;      // mono: every sound is made mono and the game does no panning
    int chunkSize = 1024;  // sample frames mixed per pass
};

// A device whose name contains "SigmaTel" (case-sensitive) gets 48 kHz float output; every other
// device, and a device without a name (null), gets the mixer's default format.
AudioFormat chooseAudioFormat(const char* deviceName);

// Clamps to at most 1 and then to at least 0; NaN becomes 1.
float clampVolume(float volume);

// The channel volume (0..MIX_MAX_VOLUME) for a stored volume in [0, 1]; 0 while muted.
int mixerVolume(float volume, bool muted);

// SDL_mixer 2.0.0 or later is required.
bool mixerVersionSupported(int major, int minor, int patch);

// The line printed when the linked SDL_mixer is older than 2.0.0.
std::string oldMixerVersionLine(int major, int minor, int patch);

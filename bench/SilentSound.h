// SilentSound.h -- a sound manager that opens no device and plays nothing, for timing the rules alone.
#pragma once

#include "sound/SoundManager.h"
#include "sound/SoundRules.h"

// Keeps the volumes and the mute state as the real manager does; every sound is silent and never playing.
class SilentSound : public SoundManager {
public:
    SilentSound() : SoundManager(NoDevice{}) {}
    void play(int) override {}
    void pause(int) override {}
    void setVolume(int type, float volume) override {
        if (type >= 0 && type < soundTypeCount) volumes[static_cast<size_t>(type)] = clampVolume(volume);
    }
    bool isPlaying(int) override { return false; }
    void toggleMute() override { muted = !muted; }
    void pauseAll() override {}
    void resumeAll() override {}
};

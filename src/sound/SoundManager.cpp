// SoundManager.cpp -- temporary body until the sound manager lands.
#include "sound/SoundManager.h"

SoundManager::SoundManager() : SoundManager(NoDevice{}) {}
SoundManager::SoundManager(NoDevice) { resetVolumes(); }
SoundManager::~SoundManager() = default;
void SoundManager::resetVolumes() {
    volumes.fill(1.0f);
    volumes[SoundLightningPick] = 0.8f;
    volumes[SoundLightningShoot] = 0.3f;
    volumes[SoundWarning] = 0.5f;
}
void SoundManager::play(int) {}
void SoundManager::pause(int) {}
void SoundManager::setVolume(int, float) {}
bool SoundManager::isPlaying(int) { return false; }
void SoundManager::toggleMute() { muted = !muted; }
const char* SoundManager::fileName(int) { return ""; }
bool SoundManager::loops(int) { return false; }

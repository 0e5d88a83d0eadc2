// RecordingSound.h -- a silent sound manager that records what the game asked it to do.
#pragma once

#include <vector>

#include "sound/SoundManager.h"

namespace omxtest {

class RecordingSound : public SoundManager {
public:
    RecordingSound() : SoundManager(NoDevice{}) {}

    void play(int type) override;
    void pause(int type) override;
    void setVolume(int type, float volume) override;
    bool isPlaying(int type) override;
    void toggleMute() override { muted = !muted; }
    void pauseAll() override { allPaused = true; }
    void resumeAll() override { allPaused = false; }

    // How often each type was played.
    int playCount(int type) const;
    void clear() { played.clear(); }

    std::vector<int> played;           // every play in order
    bool playing[soundTypeCount] = {};  // started and not paused
    bool allPaused = false;             // between pauseAll and resumeAll
    // When false, isPlaying answers false even for started types (a one-shot that has ended).
    bool reportPlaying = true;
};

}  // namespace omxtest

// RecordingSound.cpp -- records plays, pauses and volumes.
#include "support/RecordingSound.h"

#include <algorithm>

namespace omxtest {

void RecordingSound::play(int type) {
    played.push_back(type);
    if (type >= 0 && type < soundTypeCount) {
        playing[type] = true;
        if (type == MusicGood) playing[MusicBad] = false;
        if (type == MusicBad) playing[MusicGood] = false;
    }
}

void RecordingSound::pause(int type) {
    if (type >= 0 && type < soundTypeCount) playing[type] = false;
}

void RecordingSound::setVolume(int type, float volume) {
    if (type < 0 || type >= soundTypeCount) return;
    if (!(volume <= 1.0f)) volume = 1.0f;  // NaN becomes 1
    if (volume < 0.0f) volume = 0.0f;
    volumes[type] = volume;
}

bool RecordingSound::isPlaying(int type) {
    return reportPlaying && type >= 0 && type < soundTypeCount && playing[type];
}

int RecordingSound::playCount(int type) const {
    return static_cast<int>(std::count(played.begin(), played.end(), type));
}

}  // namespace omxtest

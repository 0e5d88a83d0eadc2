// SoundDecoding.h -- the generated sound files as the game hears them: decoded by SDL2_mixer.
#pragma once

#include <string>
#include <vector>

namespace soundtest {

// The sixteen files in sound-type order, with the play mode the game uses and the length that fits the event.
struct ExpectedSound {
    const char* fileName;
    bool loops;
    double minSeconds;
    double maxSeconds;
};
const std::vector<ExpectedSound>& expectedSounds();

// The folder the build writes the sounds to (ends with a slash).
std::string builtSoundFolder();

struct DecodedSound {
    bool loaded = false;
    int sampleRate = 0;
    std::vector<float> samples;  // first channel, full scale +-1
    double seconds() const { return sampleRate > 0 ? static_cast<double>(samples.size()) / sampleRate : 0.0; }
};

// Decodes a file with Mix_LoadWAV on the silent SDL audio driver (opened once, 44.1 kHz, 16-bit).
DecodedSound decodeSound(const std::string& path);

// Decoded once per process and kept: the built file of the given sound type.
const DecodedSound& builtSound(int type);

}  // namespace soundtest

// DecodedSounds.h -- the built sound files as the game hears them: decoded by SDL2_mixer (as the game loads its
// effects) into mono floats, once per test process.
#pragma once

#include <string>
#include <vector>

namespace omxtest {

struct DecodedSound {
    int sampleRate = 0;
    std::vector<float> samples;  // full scale +-1
    double seconds() const { return sampleRate > 0 ? static_cast<double>(samples.size()) / sampleRate : 0.0; }
};

// <build>/resources/sounds/<file of the type>.
std::string builtSoundPath(int type);

// The built file of a sound type, decoded with Mix_LoadWAV on the silent driver at 44.1 kHz; empty when the
// mixer cannot open or the file does not decode.
const DecodedSound& builtSound(int type);

}  // namespace omxtest
